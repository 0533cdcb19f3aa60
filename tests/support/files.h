#pragma once
// Scratch folders and whole-file reads for tests that write files.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace testsupport {

/// A fresh, empty folder named `name` under the temporary folder, in a
/// folder of the running test's own: tests run side by side in processes of
/// their own and must not share one.
inline std::filesystem::path scratch(const std::string& name) {
  std::filesystem::path dir = std::filesystem::path(testing::TempDir());
  if (const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info()) {
    dir /= std::string(test->test_suite_name()) + "." + test->name();
  }
  dir /= name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

/// A fresh folder under /tmp, removed with everything in it when the object
/// goes; names given to its members are relative to it.
class TempFolder {
 public:
  TempFolder() {
    char tmpl[] = "/tmp/kinroll-test-XXXXXX";
    dir_ = ::mkdtemp(tmpl);
  }
  ~TempFolder() { std::filesystem::remove_all(dir_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path dir_;
};

/// The bytes of the file at `path` (empty when it cannot be read).
inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace testsupport
