#include "model/outfile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kinroll-outfile-XXXXXX";
    dir_ = mkdtemp(tmpl);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const char* name) const { return (dir_ / name).string(); }
  static std::string slurp(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static void spit(const std::string& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
  }
  size_t entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }

  fs::path dir_;
};

TEST_F(OutputFileTest, ReplacesTheOldFileOnlyWhenCommitted) {
  std::string p = path("list.txt");
  spit(p, "old text\n");
  {
    OutputFile out;
    ASSERT_TRUE(out.open(p));
    std::fprintf(out.get(), "new text\n");
    EXPECT_EQ(slurp(p), "old text\n");  // not yet in place
    EXPECT_TRUE(out.commit());
  }
  EXPECT_EQ(slurp(p), "new text\n");
  EXPECT_EQ(entries(), 1u);  // no temporary left behind
}

TEST_F(OutputFileTest, AbandonedWriteLeavesOldFileAndNoTemporary) {
  std::string p = path("list.txt");
  spit(p, "old text\n");
  {
    OutputFile out;
    ASSERT_TRUE(out.open(p));
    std::fprintf(out.get(), "partial");
  }
  EXPECT_EQ(slurp(p), "old text\n");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(OutputFileTest, NewFileGetsTheUsualMode) {
  mode_t old = umask(022);
  std::string p = path("fresh.txt");
  OutputFile out;
  ASSERT_TRUE(out.open(p));
  ASSERT_TRUE(out.commit());
  umask(old);
  struct stat st;
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(OutputFileTest, MissingDirectoryCannotBeOpened) {
  OutputFile out;
  EXPECT_FALSE(out.open(path("no/such/dir.txt")));
  EXPECT_FALSE(out.open(""));
}

TEST_F(OutputFileTest, FailedWriteKeepsOldFileAndReports) {
  std::string p = path("big.txt");
  spit(p, "precious\n");
  // Limit file size so the write fails part-way; ignore the signal it raises.
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);

  testing::internal::CaptureStderr();
  bool ok;
  {
    OutputFile out;
    ASSERT_TRUE(out.open(p));
    std::string chunk(1000, 'z');
    for (int i = 0; i < 20; ++i) std::fprintf(out.get(), "%s\n", chunk.c_str());
    ok = out.commit();
  }
  std::string err = testing::internal::GetCapturedStderr();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(ok);
  EXPECT_EQ(err, "Error writing " + p + "\n");
  EXPECT_EQ(slurp(p), "precious\n");
  EXPECT_EQ(entries(), 1u);
}

TEST(OutputFileDevice, DevicesAreWrittenDirectly) {
  OutputFile null_out;
  ASSERT_TRUE(null_out.open("/dev/null"));
  std::fprintf(null_out.get(), "gone\n");
  EXPECT_TRUE(null_out.commit());

  OutputFile full;
  ASSERT_TRUE(full.open("/dev/full"));
  std::fprintf(full.get(), "no room\n");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(full.commit());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error writing /dev/full\n");
  struct stat st;
  ASSERT_EQ(stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

}  // namespace

namespace {

TEST_F(OutputFileTest, LinkIsKeptAndItsTargetReplaced) {
  std::string target = path("real.txt");
  std::string link = path("link.txt");
  spit(target, "old\n");
  fs::create_symlink(target, link);
  OutputFile out;
  ASSERT_TRUE(out.open(link));
  std::fprintf(out.get(), "new\n");
  ASSERT_TRUE(out.commit());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(slurp(target), "new\n");
  EXPECT_EQ(entries(), 2u);
}

}  // namespace
