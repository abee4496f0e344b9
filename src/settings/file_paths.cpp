#include "file_paths.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace kerf {
namespace {

// folder + "/" + name, with one "/" however many the folder ends with. An empty folder
// leaves the bare name (the working folder).
std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const auto last = folder.find_last_not_of('/');
    if (last == std::string::npos) return "/" + name;  // the root folder
    return folder.substr(0, last + 1) + "/" + name;
}

}  // namespace

FilePaths file_paths(const std::string& data_dir, const std::string& config_dir) {
    FilePaths paths;
    paths.fill_cut = join(data_dir, "Fillcut.wav");
    paths.home = join(data_dir, "Home.wav");
    paths.start = join(data_dir, "Start.wav");
    paths.pin = join(data_dir, "Pin.wav");
    paths.ini = join(config_dir, "Kerfplanner.ini");
    return paths;
}

void ensure_folder(const std::string& dir) {
    namespace fs = std::filesystem;
    if (dir.empty()) return;  // the working folder
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return;
    if (fs::exists(fs::symlink_status(dir, ec))) {
        throw std::runtime_error("Cannot create the folder " + dir +
                                 ": something that is not a folder has that name");
    }
    fs::create_directories(dir, ec);
    if (ec) throw std::runtime_error("Cannot create the folder " + dir + ": " + ec.message());
    // create_directories reports no error when a parent on the way is a file in some
    // library versions; make sure the folder really stands there.
    if (!fs::is_directory(dir, ec)) {
        throw std::runtime_error("Cannot create the folder " + dir + ": " +
                                 (ec ? ec.message() : std::string("it did not appear")));
    }
}

}  // namespace kerf
