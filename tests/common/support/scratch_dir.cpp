#include "scratch_dir.h"

#include <stdlib.h>

#include <algorithm>
#include <stdexcept>
#include <system_error>

namespace kerf::test {

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kerf-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    // Reachable by a test's child process that has given up root.
    std::filesystem::permissions(path_, std::filesystem::perms(0755));
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    // A test may have made a folder read-only; give the permissions back before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        }
    }
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> ScratchDir::names() const {
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        out.push_back(entry.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace kerf::test
