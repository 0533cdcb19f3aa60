// The key file: made once with random bytes, private to its owner, read back
// unchanged; the complaints about key files that cannot serve.

#include "contacts/keyfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "support/files.h"

namespace {

namespace fs = std::filesystem;

class KeyFile : public testing::Test, protected testsupport::TempFolder {
 protected:
  static unsigned mode_of(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }
};

TEST_F(KeyFile, MadeOnceWithItsFoldersAndReadBackUnchanged) {
  std::string p = path("config/kinroll/contacts.key");
  std::string key;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(load_or_create_key(p, &key));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(std::regex_match(key, std::regex("[0-9a-f]{64}"))) << key;
  EXPECT_EQ(read("config/kinroll/contacts.key"), key + "\n");
  EXPECT_EQ(mode_of(p), 0600u);
  EXPECT_EQ(mode_of(path("config/kinroll")), 0700u);
  // No temporary file is left beside it.
  EXPECT_EQ(
      std::distance(fs::directory_iterator(dir() / "config/kinroll"), fs::directory_iterator()), 1);

  std::string again;
  ASSERT_TRUE(load_or_create_key(p, &again));
  EXPECT_EQ(again, key);

  // Another file gets another key.
  std::string other;
  ASSERT_TRUE(load_or_create_key(path("other.key"), &other));
  EXPECT_NE(other, key);
}

TEST_F(KeyFile, AKeyWrittenByHandIsTakenAsItStandsLessItsLineEnds) {
  write("mine.key", "a key of my own, long enough to serve\r\n\n");
  std::string key;
  ASSERT_TRUE(load_or_create_key(path("mine.key"), &key));
  EXPECT_EQ(key, "a key of my own, long enough to serve");
}

TEST_F(KeyFile, KeysThatCannotServeAreRefused) {
  write("short.key", std::string(31, 'k') + "\n");
  fs::create_directory(dir() / "folder.key");
  write("blocker", "a file where a folder should be");
  struct Case {
    std::string file;
    std::string message;
  } cases[] = {
      {path("short.key"),
       "kinroll: key file " + path("short.key") + " holds fewer than 32 characters\n"},
      {path("folder.key"),
       "kinroll: cannot read key file " + path("folder.key") + ": it is a folder\n"},
      {path("blocker/contacts.key"),
       "kinroll: cannot read key file " + path("blocker/contacts.key") + ": Not a directory\n"},
  };
  for (const Case& c : cases) {
    std::string key = "unchanged";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_or_create_key(c.file, &key)) << c.file;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
    EXPECT_EQ(key, "unchanged");
  }
  // Exactly 32 characters serve.
  write("exact.key", std::string(32, 'k'));
  std::string key;
  EXPECT_TRUE(load_or_create_key(path("exact.key"), &key));
}

TEST_F(KeyFile, DefaultPlaceFollowsXdgConfigHomeThenHome) {
  const char* saved_xdg = std::getenv("XDG_CONFIG_HOME");
  const char* saved_home = std::getenv("HOME");
  std::string xdg = saved_xdg ? saved_xdg : "";
  std::string home = saved_home ? saved_home : "";

  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  setenv("HOME", "/home/clerk", 1);
  EXPECT_EQ(default_key_path(), "/cfg/kinroll/contacts.key");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  EXPECT_EQ(default_key_path(), "/home/clerk/.config/kinroll/contacts.key");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(default_key_path(), "/home/clerk/.config/kinroll/contacts.key");
  unsetenv("HOME");
  EXPECT_EQ(default_key_path(), "");

  if (saved_xdg) setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
  if (saved_home) setenv("HOME", home.c_str(), 1);
}

}  // namespace
