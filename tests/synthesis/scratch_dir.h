#pragma once
// A fresh folder for one test's files, removed with everything in it afterwards.

#include <cstdint>
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

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }
    // Names of the files in the folder, sorted.
    std::vector<std::string> names() const;

  private:
    std::filesystem::path path_;
};

std::vector<unsigned char> read_bytes(const std::string& path);
void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace kerf::test
