#include "web/child.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace {

/// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void become(char* const* argv, const char* cwd, const char* in, const char* out,
                         const char* err, pid_t server) {
  setpgid(0, 0);
  // Killed with the server's thread that started it, even by kill -9; and
  // at once when the server is already gone.
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != server) _exit(127);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD}) signal(sig, SIG_DFL);
  int in_fd = open(in, O_RDONLY);
  int out_fd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  int err_fd = open(err, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (in_fd < 0 || out_fd < 0 || err_fd < 0 || chdir(cwd) != 0 || dup2(in_fd, 0) < 0 ||
      dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0) {
    _exit(127);
  }
  // The listening socket and every connection stay with the server.
  close_range(3, ~0U, 0);
  execv(argv[0], argv);
  _exit(127);
}

}  // namespace

ChildEnd run_child(const std::vector<std::string>& argv, const std::string& cwd,
                   const std::string& out, const std::string& err,
                   std::chrono::milliseconds limit, const std::atomic<bool>& cancel,
                   const std::string& in) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  ChildEnd end;
  pid_t server = getpid();
  pid_t pid = fork();
  if (pid < 0) return end;
  if (pid == 0) become(args.data(), cwd.c_str(), in.c_str(), out.c_str(), err.c_str(), server);
  setpgid(pid, pid);  // also here, so that killpg() works before the child has run

  auto deadline = std::chrono::steady_clock::now() + limit;
  int raw = 0;
  for (;;) {
    pid_t done = waitpid(pid, &raw, WNOHANG);
    if (done == pid) break;
    if (done < 0) return end;
    bool late = std::chrono::steady_clock::now() >= deadline;
    if (late || cancel.load()) {
      end.timed_out = late && !cancel.load();
      end.cancelled = !end.timed_out;
      killpg(pid, SIGKILL);
      waitpid(pid, &raw, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // Whatever the program left running in its group goes with it.
  killpg(pid, SIGKILL);
  if (WIFEXITED(raw)) end.status = WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) end.signal = WTERMSIG(raw);
  return end;
}
