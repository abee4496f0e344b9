#pragma once
// A fresh folder for one test's files, and whole files as bytes.

#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace kerf::test {

std::vector<unsigned char> read_bytes(const std::string& path);
void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace kerf::test
