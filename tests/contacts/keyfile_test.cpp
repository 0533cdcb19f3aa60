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

  /// Writes the key file `name` by hand, with the permission bits `mode`.
  void write_key(const std::string& name, const std::string& text, unsigned mode = 0600) {
    write(name, text);
    ASSERT_EQ(::chmod(path(name).c_str(), mode), 0);
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
  write_key("mine.key", "a key of my own, long enough to serve\r\n\n");
  std::string key;
  ASSERT_TRUE(load_or_create_key(path("mine.key"), &key));
  EXPECT_EQ(key, "a key of my own, long enough to serve");
}

TEST_F(KeyFile, KeysThatCannotServeAreRefused) {
  write_key("short.key", std::string(31, 'k') + "\n");
  // Blanks, NUL bytes and line ends only: long enough, but no key.
  write_key("nul.key", std::string(64, '\0'));
  write_key("mixed.key", std::string(" \t\0\r\n", 5) + std::string(30, '\t') + "\0\r\n");
  // Any permission for the group or others, as the default umask leaves.
  write_key("world.key", std::string(64, 'k') + "\n", 0644);
  write_key("groupwrite.key", std::string(64, 'k') + "\n", 0620);
  fs::create_directory(dir() / "folder.key");
  ASSERT_EQ(::mkfifo(path("fifo.key").c_str(), 0600), 0);
  write("blocker", "a file where a folder should be");
  // Each file with what the message says after "key file NAME"; a name
  // that is absolute stays as it is.
  struct Case {
    const char* file;
    std::string after;
    bool unreadable = false;  ///< "cannot read key file NAME..."
  } cases[] = {
      {"short.key", " holds fewer than 32 characters"},
      {"nul.key", " holds only blanks and NUL bytes"},
      {"mixed.key", " holds only blanks and NUL bytes"},
      {"world.key", " is open to others (mode 0644): chmod 600 it"},
      {"groupwrite.key", " is open to others (mode 0620): chmod 600 it"},
      {"folder.key", ": it is a folder", true},
      {"fifo.key", ": it is not a regular file", true},
      {"/dev/null", ": it is not a regular file", true},
      {"blocker/contacts.key", ": Not a directory", true},
  };
  for (const Case& c : cases) {
    std::string file = path(c.file);
    std::string key = "unchanged";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_or_create_key(file, &key)) << file;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("kinroll: ") + (c.unreadable ? "cannot read " : "") + "key file " + file +
                  c.after + "\n");
    EXPECT_EQ(key, "unchanged");
  }
  // Exactly 32 characters serve, blanks among them, and so does a key that
  // only its owner may read.
  write_key("exact.key", " " + std::string(30, 'k') + "\t", 0400);
  std::string key;
  EXPECT_TRUE(load_or_create_key(path("exact.key"), &key));
  EXPECT_EQ(key, " " + std::string(30, 'k') + "\t");
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
