#pragma once
// Scratch folders and child processes for the file tests.

#include <filesystem>
#include <functional>
#include <string>

namespace kerf::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string read_all(const std::string& path);
void write_all(const std::string& path, const std::string& data);

// Runs body in a forked child and returns its exit status (or 128 + signal). With
// drop_root, a child running as root becomes "nobody" first, so that file permissions
// apply to it as to any user. A body that throws exits with 99.
int run_in_child(const std::function<int()>& body, bool drop_root = false);

}  // namespace kerf::test
