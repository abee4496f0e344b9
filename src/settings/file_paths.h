#pragma once
// Where the settings file and the cached step-signal files live.

#include <string>

namespace kerf {

struct FilePaths {
    std::string fill_cut;  // <data>/Fillcut.wav
    std::string home;      // <data>/Home.wav
    std::string start;     // <data>/Start.wav
    std::string pin;       // <data>/Pin.wav
    std::string ini;       // <config>/Kerfplanner.ini
};

// data_dir: the user's local data folder (~/.local/share); config_dir: the user's
// configuration folder (~/.config). Joined with "/"; no subfolder.
FilePaths file_paths(const std::string& data_dir, const std::string& config_dir);

// Creates the folder (and its parents) when it is missing; throws std::runtime_error
// with the folder's name and the reason when it cannot.
void ensure_folder(const std::string& dir);

}  // namespace kerf
