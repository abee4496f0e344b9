#pragma once
// Running the real kerfplanner-signal and collecting what it printed.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kerf::test {

struct ProcessResult {
    int exit_status = -1;  // 128 + signal when a signal ended it
    std::string out;
    std::string err;
};

// Runs the tool with these arguments. With interrupt_after, sends SIGINT once that time
// has passed (if the tool is still running).
ProcessResult run_signal_tool(const std::vector<std::string>& args,
                              std::optional<std::chrono::milliseconds> interrupt_after = {});

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Names of everything in the folder.
    std::vector<std::string> entries() const;

  private:
    std::string path_;
};

}  // namespace kerf::test
