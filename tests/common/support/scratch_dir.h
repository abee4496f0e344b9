#pragma once
// A fresh folder for one test's files under the system's temporary folder, removed with
// everything in it afterwards.

#include <filesystem>
#include <string>
#include <vector>

namespace kerf::test {

class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Names of everything in the folder, sorted.
    std::vector<std::string> names() const;

  private:
    std::filesystem::path path_;
};

}  // namespace kerf::test
