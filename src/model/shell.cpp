#include "model/shell.h"

#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "model/outfile.h"

std::string shell_word(std::string_view s) {
  static constexpr std::string_view kSafe =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_./+-,:@%";
  if (!s.empty() && s.find_first_not_of(kSafe) == std::string_view::npos) return std::string(s);
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += "'\\'";  // with c: '\'' ends the quoting, adds a ' and quotes again
    out += c;
  }
  out += "'";
  return out;
}

std::string shell_dquoted(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
    out += c;
  }
  return out;
}

void run_shell_command(const std::string& cmd) {
  std::fflush(stdout);
  std::fflush(stderr);
  // As system() does, but an interrupt that comes while the command runs is
  // held back rather than ignored: the command gets it (a terminal's Ctrl-C
  // reaches the whole group) and the program takes it once the command is
  // over, so that Ctrl-C ends the program at the next command at the latest.
  sigset_t held, old;
  sigemptyset(&held);
  sigaddset(&held, SIGINT);
  sigaddset(&held, SIGQUIT);
  ::pthread_sigmask(SIG_BLOCK, &held, &old);

  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setsigmask(&attr, &old);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
  std::string command = cmd;
  char sh[] = "sh";
  char dash_c[] = "-c";
  char* argv[] = {sh, dash_c, command.data(), nullptr};
  pid_t pid = -1;
  int spawned = ::posix_spawn(&pid, "/bin/sh", nullptr, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);

  if (spawned == 0) {
    int status = 0;
    pid_t done;
    while ((done = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    // A command that Ctrl-C (or Ctrl-\) ended ends the program the same way.
    if (done == pid && WIFSIGNALED(status) &&
        (WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGQUIT)) {
      end_by_signal(WTERMSIG(status));
    }
  }
  // An interrupt held back meanwhile is taken here.
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

std::string converter_command(std::string_view app, std::string_view base,
                              std::string_view quoted_title) {
  return std::string(app) + ' ' + shell_word(base) + " \"" + std::string(quoted_title) + '"';
}

void hand_to_converter(const Text& app, std::string_view base, std::string_view quoted_title,
                       const char* progress) {
  if (app.empty()) return;
  std::string cmd = converter_command(app.view(), base, quoted_title);
  std::printf(progress, cmd.c_str());
  run_shell_command(cmd);
}
