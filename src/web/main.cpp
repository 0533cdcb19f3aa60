// kinroll-web: a page on the clerk's own computer that takes the month's
// printouts, runs the batch production on them (the kinroll program itself,
// in a private folder) and shows and hands out every list it writes.
//
//   kinroll-web [--port N] [--listen ADDR] [--kinroll PATH] [--time-limit S] [--keep S]
//
// Exit status 0 after Ctrl-C or SIGTERM, 2 on trouble (bad arguments, an
// address that cannot be listened on, no kinroll program).

#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/about.h"
#include "tools/args.h"
#include "tools/status.h"
#include "web/server.h"

namespace {

constexpr ToolOption kOptions[] = {{"port", true},       {"listen", true}, {"kinroll", true},
                                   {"time-limit", true}, {"keep", true},   {"help", false, 'h'},
                                   {"version", false}};

void print_usage(FILE* fp) {
  std::fputs(
      "Usage: kinroll-web [--port N] [--listen ADDR] [--kinroll PATH] [--time-limit SECONDS]\n"
      "                   [--keep SECONDS]\n"
      "       kinroll-web --help | --version\n"
      "\n"
      "Serves a page on this computer that takes the month's printouts, runs\n"
      "kinroll -c on them in a private folder and shows every list it writes.\n"
      "\n"
      "  --port N              the port to listen on (default 8080; 0 picks a free one)\n"
      "  --listen ADDR         the address to listen on (default 127.0.0.1)\n"
      "  --kinroll PATH        the kinroll program (default: the one beside this one)\n"
      "  --time-limit SECONDS  how long a job may run (default 60)\n"
      "  --keep SECONDS        how long results are kept after they were last\n"
      "                        fetched (default 1800)\n"
      "  -h, --help            show this text and exit\n"
      "  --version             show the version and exit\n"
      "\n"
      "Exit status: 0 after Ctrl-C or SIGTERM, 2 trouble.\n"
      "See the manual page kinroll-web(1).\n",
      fp);
}

/// `text` as a whole number from `low` to `high`; false when it is not one.
bool whole_number(const std::string& text, long low, long high, long* value) {
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

/// The folder this program was started from, or empty.
std::string own_folder() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
}

bool is_program(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

/// The companion `name` beside the program `kinroll`; empty when not there.
std::string beside(const std::string& kinroll, const char* name) {
  std::string path = std::filesystem::path(kinroll).parent_path().string();
  path = (path.empty() ? std::string(".") : path) + "/" + name;
  return is_program(path) ? path : std::string();
}

/// Reads the command line into `*s`. Returns false after tool_error().
bool parse(const ToolArgs& args, ServerSettings* s) {
  if (!args.positional.empty()) {
    tool_error("unexpected argument %s", args.positional[0].c_str());
    return false;
  }
  long n = 0;
  if (const std::string* v = args.value("port")) {
    if (!whole_number(*v, 0, 65535, &n)) {
      tool_error("--port needs a port number from 0 to 65535, not %s", v->c_str());
      return false;
    }
    s->port = static_cast<int>(n);
  }
  if (const std::string* v = args.value("listen")) {
    if (v->empty() || *v == "0.0.0.0" || *v == "::") {
      tool_error("--listen needs the one address the page is opened at, not %s",
                 v->empty() ? "an empty text" : v->c_str());
      return false;
    }
    s->listen = *v;
  }
  if (const std::string* v = args.value("time-limit")) {
    if (!whole_number(*v, 1, 86400, &n)) {
      tool_error("--time-limit needs a number of seconds from 1 to 86400, not %s", v->c_str());
      return false;
    }
    s->programs.limit = std::chrono::seconds(n);
  }
  if (const std::string* v = args.value("keep")) {
    if (!whole_number(*v, 0, 7 * 86400, &n)) {
      tool_error("--keep needs a number of seconds from 0 to 604800, not %s", v->c_str());
      return false;
    }
    s->keep = std::chrono::seconds(n);
  }
  const std::string* kinroll = args.value("kinroll");
  s->programs.kinroll = kinroll != nullptr ? *kinroll : own_folder() + "/kinroll";
  if (!is_program(s->programs.kinroll)) {
    tool_error("no kinroll program at %s (name it with --kinroll PATH)",
               s->programs.kinroll.c_str());
    return false;
  }
  s->programs.kinroll = std::filesystem::absolute(s->programs.kinroll).string();
  s->programs.changes = beside(s->programs.kinroll, "kinroll-changes");
  s->programs.contacts = beside(s->programs.kinroll, "kinroll-contacts");
  return true;
}

int run(int argc, char** argv) {
  ToolArgs args;
  int status;
  if (!read_command_line(argc, argv, kOptions, print_usage, &args, &status)) return status;
  ServerSettings settings;
  if (!parse(args, &settings)) return try_help();
  // Every thread started from here on has these blocked; the server waits
  // for them. A closed connection is an error of its own, not a signal.
  sigset_t stop;
  sigemptyset(&stop);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stop, sig);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  signal(SIGPIPE, SIG_IGN);
  return run_server(settings, stop);
}

}  // namespace

int main(int argc, char** argv) {
  set_tool_name("kinroll-web");
  return run(argc, argv);
}
