#pragma once
// Runs the built program in a scratch directory with a console script on
// standard input, and reads back what it printed and wrote.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <vector>

#include <filesystem>
#include <map>
#include <fstream>
#include <sstream>
#include <string>

namespace e2e {

namespace fs = std::filesystem;

/// What one run of the program printed, and how it ended.
struct Outcome {
  int status = -1;   ///< exit status; -1 when a signal ended the program
  int signal = 0;    ///< the signal that ended the program, or 0
  bool timed_out = false;  ///< killed after running past the harness's limit
  std::string out;
  std::string err;
};

/// How long a run may take before the harness kills it, so that a program
/// that hangs fails its test instead of holding the whole suite.
inline constexpr int kRunLimitSeconds = 60;

/// A scratch directory holding the program's input and output files.
class Scratch {
 public:
  Scratch() {
    char tmpl[] = "/tmp/kinroll-e2e-XXXXXX";
    dir_ = mkdtemp(tmpl);
    // Start-up configuration, so that no missing-file message shows.
    write("wardunits.txt", "# unit names\n");
    write("wardorgs.txt", "# organisations\n");
  }
  ~Scratch() { fs::remove_all(dir_); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const fs::path& dir() const { return dir_; }

  /// Runs the program `binary` from now on instead of the menu program.
  void use_program(const std::string& binary) { program_ = binary; }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  void write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  bool exists(const std::string& name) const { return fs::exists(dir_ / name); }

  /// Every file under the scratch directory (the console script excepted),
  /// by its path relative to it, with its bytes; a link by what it names.
  std::map<std::string, std::string> files() const {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(dir_)) {
      std::string rel = fs::relative(e.path(), dir_).string();
      if (rel == ".console") continue;
      if (e.is_symlink()) {
        all[rel] = "-> " + fs::read_symlink(e.path()).string();
      } else if (e.is_regular_file()) {
        all[rel] = read(rel);
      }
    }
    return all;
  }

  /// Runs the program with `args` and `console` on standard input, in the
  /// scratch directory. A positive `fsize_limit` limits the size of files the
  /// program may write (SIGXFSZ ignored), so that writing fails part-way.
  Outcome run(const std::vector<std::string>& args, const std::string& console,
          rlim_t fsize_limit = 0) const {
    return run_as(program_.c_str(), args, console, fsize_limit, kSelf);
  }

  /// The same for the program `binary`.
  Outcome run_binary(const char* binary, const std::vector<std::string>& args,
                     const std::string& console, rlim_t fsize_limit = 0) const {
    return run_as(binary, args, console, fsize_limit, kSelf);
  }

  /// Runs the program as run() does, in a process group of its own, and
  /// once the file `marker` shows up in the scratch directory sends `sig`
  /// to the whole group (as a terminal's Ctrl-C does) or, without
  /// `whole_group`, to the program alone.
  Outcome run_interrupted(const std::vector<std::string>& args, const std::string& console,
                          const std::string& marker, int sig, bool whole_group = true) const {
    Interrupt interrupt{marker, sig, whole_group};
    return run_as(program_.c_str(), args, console, 0, kSelf, &interrupt);
  }

  /// Runs the program as run() does, but as the unprivileged user nobody
  /// when the tests run as root (who may read and write any file), so that
  /// file permissions bite. With `own_dir` the scratch directory is given
  /// to nobody (the files in it stay as they are); without, it stays as it
  /// is and the test sets its mode. Status 125 when privileges could not be
  /// dropped (see can_drop_privileges()).
  Outcome run_as_nobody(const std::vector<std::string>& args, const std::string& console,
                        bool own_dir = true) const {
    return run_as(program_.c_str(), args, console, 0, own_dir ? kOwnDir : kGuest);
  }

  /// True when a child can take the identity of nobody, or needs not
  /// (the tests do not run as root).
  static bool can_drop_privileges() {
    if (geteuid() != 0) return true;
    pid_t pid = fork();
    if (pid == 0) {
      _exit(setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0 ? 0 : 1);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
  }

 private:
  static constexpr uid_t kNobody = 65534;

  enum Identity { kSelf, kOwnDir, kGuest };

  /// A signal to send once a file shows up.
  struct Interrupt {
    std::string marker;
    int sig;
    bool whole_group;
  };

  Outcome run_as(const char* binary, const std::vector<std::string>& args,
                 const std::string& console, rlim_t fsize_limit, Identity who,
                 const Interrupt* interrupt = nullptr) const {
    write(".console", console);
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
      if (interrupt != nullptr) {
        // As from a terminal: a group of its own, the signal's default action
        // (a runner may have started the tests with it ignored).
        setpgid(0, 0);
        signal(interrupt->sig, SIG_DFL);
      }
      if (chdir(dir_.c_str()) != 0) _exit(126);
      int in = open(".console", O_RDONLY);
      dup2(in, 0);
      dup2(out_pipe[1], 1);
      dup2(err_pipe[1], 2);
      close(out_pipe[0]);
      close(err_pipe[0]);
      if (who != kSelf && geteuid() == 0) {
        if ((who == kOwnDir && chown(".", kNobody, kNobody) != 0) || setgroups(0, nullptr) != 0 ||
            setgid(kNobody) != 0 || setuid(kNobody) != 0) {
          _exit(125);
        }
      }
      if (fsize_limit > 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit lim = {fsize_limit, fsize_limit};
        setrlimit(RLIMIT_FSIZE, &lim);
      }
      std::vector<char*> argv{const_cast<char*>(binary)};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(binary, argv.data());
      _exit(127);
    }
    if (interrupt != nullptr) setpgid(pid, pid);
    close(out_pipe[1]);
    close(err_pipe[1]);
    Outcome r;
    struct pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&r.out, &r.err};
    int open_fds = 2;
    bool sent = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kRunLimitSeconds);
    while (open_fds > 0) {
      if (std::chrono::steady_clock::now() > deadline && !r.timed_out) {
        r.timed_out = true;
        kill(interrupt != nullptr ? -pid : pid, SIGKILL);
      }
      if (interrupt != nullptr && !sent && exists(interrupt->marker)) {
        kill(interrupt->whole_group ? -pid : pid, interrupt->sig);
        sent = true;
      }
      int ready = poll(fds, 2, 20);
      if (ready < 0) break;
      if (ready == 0) continue;
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        char buf[4096];
        ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
        if (n > 0) {
          sinks[i]->append(buf, static_cast<size_t>(n));
        } else {
          close(fds[i].fd);
          fds[i].fd = -1;
          --open_fds;
        }
      }
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.signal = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
    return r;
  }

  fs::path dir_;
  std::string program_ = KINROLL_BINARY;
};

/// Puts into `s` an executable converter that records each argument it is
/// given, as "[arg]" lines, in converter.log; returns its path.
inline std::string install_recorder(const Scratch& s, const std::string& name = "conv.sh") {
  s.write(name, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done >> converter.log\n");
  fs::permissions(s.dir() / name, fs::perms::owner_all);
  return s.path(name);
}

/// One row of a companion program's option table: its arguments and
/// standard input, and the exit status, first line of standard output and
/// whole error stream it must give.
struct OptionRow {
  std::vector<std::string> args;
  std::string input;
  int status;
  std::string out_first;  ///< without its line end; "" for no output
  std::string err;
};

/// Runs `binary` in `s` once per row of `rows` and checks what it gave.
inline void check_option_table(const Scratch& s, const char* binary,
                               const std::vector<OptionRow>& rows) {
  for (const OptionRow& row : rows) {
    std::string line;
    for (const auto& a : row.args) line += "[" + a + "]";
    Outcome r = s.run_binary(binary, row.args, row.input);
    EXPECT_EQ(r.status, row.status) << line << "\n" << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), row.out_first) << line;
    EXPECT_EQ(r.err, row.err) << line;
  }
}

/// Sets an environment variable (or unsets it, for nullopt) for the scope,
/// and puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

/// The first line that --version prints, for `program`.
inline std::string version_line(const std::string& program) {
  return program + " (Kinroll) " + KINROLL_VERSION;
}

/// The bytes of the expected-output file `name` under tests/data/.
inline std::string data(const std::string& name) {
  std::ifstream in(fs::path(KINROLL_TESTDATA) / name, std::ios::binary);
  EXPECT_TRUE(in.good()) << "missing tests/data/" << name;
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

/// `text` with every "@DATE@" replaced by today's date as titles print it,
/// for expected files whose title lines carry the date.
inline std::string dated(std::string text, const std::string& date) {
  const std::string mark = "@DATE@";
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
    text.replace(at, mark.size(), date);
    at += date.size();
  }
  return text;
}

/// The banner that heads every menu but the miscellaneous one.
inline const std::string kBanner =
    "Kinroll Version 3.0.5\n\nLDS MIS Report Parsing Program\nOptions are:\n";

/// The footer that asks for the next option.
inline const std::string kFooter = "\nQ. Quit\nor ENTER for main menu\n\nEnter option: ";

inline const std::string kMainMenu = kBanner +
    "100 Ward Positions Menu\n200 Ward List Menu\n300 Home Teaching Menu\n"
    "400 Visiting Teaching Menu\n700 Stake Reports Menu\n800 Create CSV Files\n";

inline const std::string kWardMenu = kBanner +
    "201 Read MIS 231 File\n202 Read MIS 232 File\n209 Read MIS 239 File\n"
    "210 Create Full Ward List\n212 Create Private Ward List\n220 Create Ward Phone List\n"
    "225 Create Phone Directory (for paper)\n227 Create Phone Book (addr & phone)\n"
    "230 Create Zipcode List\n240 Find Non-Member Spouses\n290 Create Error Report\n";

inline const std::string kEnd = "Program terminating\n";

}  // namespace e2e
