#pragma once
// Scratch folders and whole-file reads for tests that write files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

/// A fresh, empty folder named `name` under the test's temporary folder.
inline std::filesystem::path scratch(const std::string& name) {
  std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

/// The bytes of the file at `path` (empty when it cannot be read).
inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace testsupport
