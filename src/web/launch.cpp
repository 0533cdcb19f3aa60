#include "web/launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "tools/status.h"
#include "web/instance.h"

extern char** environ;

namespace {

std::vector<char*> argv_of(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

/// Starts `server` in the background; its address once it listens, or
/// empty after a message.
std::string start_server(const std::string& state, const std::vector<std::string>& server) {
  std::string log = state + "/web.log";
  std::vector<char*> argv = argv_of(server);
  pid_t pid = fork();
  if (pid < 0) return tool_error("cannot start %s", server[0].c_str()), "";
  if (pid == 0) {
    int in = open("/dev/null", O_RDONLY);
    int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (setsid() < 0 || in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
        dup2(out, 2) < 0) {
      _exit(127);
    }
    close_range(3, ~0U, 0);  // nothing of whoever ran --open stays open
    execv(argv[0], argv.data());
    _exit(127);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    std::string url = running_url(state);
    if (!url.empty()) return url;
    int raw = 0;
    if (waitpid(pid, &raw, WNOHANG) == pid) break;  // it ended: see the log
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::ifstream in(log);
  std::string line, last;
  while (std::getline(in, line)) last = line;
  tool_error("the server did not start%s%s", last.empty() ? "" : ": ", last.c_str());
  return "";
}

}  // namespace

int open_page(const std::string& state, const std::vector<std::string>& server) {
  std::string url = running_url(state);
  if (url.empty()) url = start_server(state, server);
  if (url.empty()) return kExitTrouble;
  std::printf("%s\n", url.c_str());
  std::fflush(stdout);
  const char* browser = std::getenv("BROWSER");
  std::string program = browser != nullptr && browser[0] != '\0' ? browser : "xdg-open";
  program = program.substr(0, program.find(':'));
  std::vector<std::string> args{program, url};
  std::vector<char*> argv = argv_of(args);
  pid_t pid = 0;
  int raw = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 ||
      waitpid(pid, &raw, 0) != pid || !WIFEXITED(raw) || WEXITSTATUS(raw) != 0) {
    tool_error("cannot open a browser with %s: open %s in one", program.c_str(), url.c_str());
    return kExitTrouble;
  }
  return kExitSame;
}
