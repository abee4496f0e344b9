#pragma once
// Scratch folders and child processes for the file tests.

#include <functional>
#include <string>

#include "support/scratch_dir.h"

namespace kerf::test {

std::string read_all(const std::string& path);
void write_all(const std::string& path, const std::string& data);

// Runs body in a forked child and returns its exit status (or 128 + signal). With
// drop_root, a child running as root becomes "nobody" first, so that file permissions
// apply to it as to any user. A body that throws exits with 99.
int run_in_child(const std::function<int()>& body, bool drop_root = false);

}  // namespace kerf::test
