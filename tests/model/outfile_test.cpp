#include "model/outfile.h"

#include <stdio_ext.h>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "model/infile.h"

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

// Reports and lists run to megabytes; a system call every 4 KB cost the
// batch a fifth of its time.
TEST_F(OutputFileTest, ReportsAndListsMoveInLargePieces) {
  std::string p = path("list.txt");
  OutputFile out;
  ASSERT_TRUE(out.open(p));
  std::fputc('x', out.get());
  EXPECT_GE(__fbufsize(out.get()), 64u * 1024);
  for (int i = 0; i < 300 * 1024; ++i) std::fputc('y', out.get());
  ASSERT_TRUE(out.commit());

  InputFile in(p);
  ASSERT_TRUE(in);
  EXPECT_EQ(std::fgetc(in.get()), 'x');
  EXPECT_GE(__fbufsize(in.get()), 64u * 1024);
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

TEST_F(OutputFileTest, OpenOrReportNamesTheFileOnlyWhenItCannotBeOpened) {
  OutputFile out;
  const std::string bad = path("no/such/dir.txt");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(open_or_report(out, bad, "Can't open (%s)\n"));
  EXPECT_TRUE(open_or_report(out, path("fine.txt"), "Can't open (%s)\n"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can't open (" + bad + ")\n");
  EXPECT_TRUE(out.commit());
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

namespace {

/// Runs `body` in a child process and returns its wait status.
template <class F>
int in_child(F body) {
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    body();
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

TEST_F(OutputFileTest, LongestNamesCanBeReplaced) {
  std::string name = path(std::string(250, 'n').c_str());
  spit(name, "old\n");
  OutputFile out;
  ASSERT_TRUE(out.open(name));
  std::fprintf(out.get(), "new\n");
  ASSERT_TRUE(out.commit());
  EXPECT_EQ(slurp(name), "new\n");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(OutputFileTest, NameLongerThanTheFolderTakesCannotBeOpened) {
  OutputFile out;
  EXPECT_TRUE(out.open(path(std::string(255, 'n').c_str())));
  EXPECT_TRUE(out.commit());
  EXPECT_FALSE(out.open(path(std::string(256, 'n').c_str())));
  EXPECT_EQ(entries(), 1u);  // nothing made for the name that does not fit
}

TEST_F(OutputFileTest, DanglingLinkCreatesItsTargetAndLoopsCannotBeOpened) {
  fs::create_directory(dir_ / "sub");
  fs::create_symlink("sub/missing.txt", dir_ / "dang.txt");
  OutputFile out;
  ASSERT_TRUE(out.open(path("dang.txt")));
  std::fprintf(out.get(), "made\n");
  ASSERT_TRUE(out.commit());
  EXPECT_TRUE(fs::is_symlink(dir_ / "dang.txt"));
  EXPECT_EQ(slurp(path("sub/missing.txt")), "made\n");

  fs::create_symlink("loop2", dir_ / "loop1");
  fs::create_symlink("loop1", dir_ / "loop2");
  OutputFile loop;
  EXPECT_FALSE(loop.open(path("loop1")));
  EXPECT_TRUE(fs::is_symlink(dir_ / "loop1"));
}

TEST_F(OutputFileTest, StandardOutputIsWrittenAtItsPlaceNotReplaced) {
  std::string log = path("transcript.txt");
  int status = in_child([&] {
    int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    std::printf("before\n");
    OutputFile out;
    if (!out.open("/dev/stdout")) _exit(2);
    std::fprintf(out.get(), "report\n");
    if (!out.commit()) _exit(3);
    std::printf("after\n");
    std::fflush(stdout);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(slurp(log), "before\nreport\nafter\n");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(OutputFileTest, FileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
  fs::path ro = dir_ / "ro";
  fs::create_directory(ro);
  chmod(dir_.c_str(), 0755);
  int status = in_child([&] {
    // Root may create files anywhere: become an ordinary user first.
    if (geteuid() == 0) {
      if (chown(ro.c_str(), 65534, 65534) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    }
    std::string name = (ro / "list.txt").string();
    std::ofstream(name) << "old\n";
    chmod(ro.c_str(), 0555);
    OutputFile out;
    if (!out.open(name)) _exit(3);
    std::fprintf(out.get(), "new\n");
    if (!out.commit()) _exit(4);
    std::ifstream in(name);
    std::string line;
    std::getline(in, line);
    _exit(line == "new" ? 0 : 5);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  chmod(ro.c_str(), 0755);
  EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(ro), fs::directory_iterator())),
            1u);
}

TEST_F(OutputFileTest, ExitWhileOpenRemovesTheTemporaryFile) {
  std::string name = path("list.txt");
  spit(name, "old\n");
  int status = in_child([&] {
    OutputFile out;
    if (!out.open(name)) _exit(2);
    std::fprintf(out.get(), "half of it\n");
    std::fflush(out.get());
    // As the program ends at end of console input: no destructor runs.
    std::exit(0);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(slurp(name), "old\n");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(OutputFileTest, InterruptRemovesTheTemporaryFile) {
  for (int sig : {SIGINT, SIGTERM}) {
    std::string name = path("big.txt");
    spit(name, "old\n");
    int status = in_child([&] {
      OutputFile out;
      if (!out.open(name)) _exit(2);
      std::fprintf(out.get(), "half of it\n");
      std::fflush(out.get());
      raise(sig);
      _exit(3);
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), sig);
    EXPECT_EQ(slurp(name), "old\n");
    EXPECT_EQ(entries(), 1u);
  }
}

TEST_F(OutputFileTest, InterruptAndExitRemoveEveryTemporaryFileHoweverMany) {
  // A hundred files in the making, eighty of them opened by four threads at
  // once; ten put in place and ten dropped, and twenty more opened after them.
  for (int sig : {SIGINT, 0}) {
    int status = in_child([&] {
      std::vector<std::unique_ptr<OutputFile>> files(100);
      auto open = [&](size_t i) {
        files[i] = std::make_unique<OutputFile>();
        if (!files[i]->open(path(("f" + std::to_string(i)).c_str()))) _exit(2);
        std::fprintf(files[i]->get(), "file %zu\n", i);
        std::fflush(files[i]->get());
      };
      std::vector<std::thread> threads;
      for (size_t t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
          for (size_t i = t; i < 80; i += 4) open(i);
        });
      }
      for (auto& thread : threads) thread.join();
      for (size_t i = 0; i < 10; ++i) {
        if (!files[i]->commit()) _exit(4);
      }
      for (size_t i = 10; i < 20; ++i) files[i].reset();
      for (size_t i = 80; i < 100; ++i) open(i);
      // As an interrupt or the end of console input ends the program: no
      // destructor runs.
      if (sig != 0) raise(sig);
      std::exit(0);
    });
    if (sig != 0) {
      ASSERT_TRUE(WIFSIGNALED(status));
      EXPECT_EQ(WTERMSIG(status), sig);
    } else {
      ASSERT_TRUE(WIFEXITED(status));
      EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    std::set<std::string> left;
    for (const auto& e : fs::directory_iterator(dir_)) left.insert(e.path().filename().string());
    std::set<std::string> done;
    for (int i = 0; i < 10; ++i) done.insert("f" + std::to_string(i));
    EXPECT_EQ(left, done) << "signal " << sig;
    EXPECT_EQ(slurp(path("f9")), "file 9\n");
    for (const std::string& name : done) fs::remove(dir_ / name);
  }
}

}  // namespace
