// kinroll-web: a page on the clerk's own computer that takes the month's
// printouts, runs the batch production on them (the kinroll program itself,
// in a private folder) and shows and hands out every list it writes.
//
//   kinroll-web [--port N] [--listen ADDR] [--kinroll PATH] [--time-limit S] [--keep S]
//               [--new-token] [--open]
//
// Exit status 0 after Ctrl-C, SIGTERM or SIGHUP (or once --open opened the
// page), 2 on trouble (bad arguments, a port in use, an address that cannot
// be listened on, no kinroll program, no browser).

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/about.h"
#include "tools/args.h"
#include "tools/status.h"
#include "tools/userdirs.h"
#include "web/instance.h"
#include "web/launch.h"
#include "web/server.h"

namespace {

constexpr ToolOption kOptions[] = {
    {"port", true},       {"listen", true},     {"kinroll", true}, {"time-limit", true},
    {"keep", true},       {"new-token", false}, {"open", false},   {"help", false, 'h'},
    {"version", false}};

void print_usage(FILE* fp) {
  std::fputs(
      "Usage: kinroll-web [--port N] [--listen ADDR] [--kinroll PATH] [--time-limit SECONDS]\n"
      "                   [--keep SECONDS] [--new-token] [--open]\n"
      "       kinroll-web --help | --version\n"
      "\n"
      "Serves a page on this computer that takes the month's printouts, runs\n"
      "kinroll -c on them in a private folder and shows every list it writes.\n"
      "The page's address holds a key kept in the user's state folder, so that\n"
      "a bookmark of it works again after a restart.\n"
      "\n"
      "  --port N              the port to listen on (default 8080; 0 picks a free one)\n"
      "  --listen ADDR         the numeric address to listen on (default 127.0.0.1)\n"
      "  --kinroll PATH        the kinroll program (default: the one beside this one)\n"
      "  --time-limit SECONDS  how long a job may run (default 60)\n"
      "  --keep SECONDS        how long results are kept after they were last\n"
      "                        fetched (default 1800)\n"
      "  --new-token           make a new key for the address; the old one stops working\n"
      "  --open                open the page in the browser, starting the server in the\n"
      "                        background when none runs\n"
      "  -h, --help            show this text and exit\n"
      "  --version             show the version and exit\n"
      "\n"
      "Exit status: 0 after Ctrl-C, SIGTERM or SIGHUP, or once --open opened the\n"
      "page; 2 trouble.\n"
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
  std::string why;
  const std::string* listen = args.value("listen");
  if (!parse_listen_address(listen != nullptr ? *listen : "127.0.0.1", &s->listen, &why)) {
    tool_error("--listen needs %s", why.c_str());
    return false;
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
  s->programs.book = beside(s->programs.kinroll, "kinroll-book");
  return true;
}

/// The command line that starts the server as `args` does, without --open
/// and --new-token.
std::vector<std::string> server_command(int argc, char** argv) {
  std::vector<std::string> command{own_folder() + "/kinroll-web"};
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    if (a != "--open" && a != "--new-token") command.emplace_back(a);
  }
  return command;
}

/// Serves the page until one of `stop` arrives (blocked in every thread):
/// records the private folder and the address in the state folder, prints
/// the address, then serves; at the end every job and job folder goes.
int serve(const ServerSettings& settings, const sigset_t& stop) {
  Server server(settings);
  FolderClaim claim;
  if (server.root().empty() || !claim.claim(settings.state, server.root())) {
    tool_error("cannot make a private temporary folder");
    return kExitTrouble;
  }
  int port = 0;
  int fd = open_listener(settings.listen, settings.port, &port);
  if (fd < 0 && errno == EADDRINUSE) {
    tool_error("port %d is in use (is kinroll-web already running? kinroll-web --open opens it)",
               settings.port);
    return kExitTrouble;
  }
  if (fd < 0 || !server.start(fd, port)) {
    tool_error("cannot listen on %s port %d: %s", settings.listen.text.c_str(), settings.port,
               std::strerror(fd < 0 ? errno : EIO));
    return kExitTrouble;
  }
  if (!settings.listen.loopback) {
    tool_error("warning: listening on %s, which other computers may reach; the ward's "
               "names, addresses and birth dates are then served to whoever has the address",
               settings.listen.text.c_str());
  }
  record_running(settings.state, server.url());
  std::printf("Open this address in a browser on this computer (Ctrl-C ends):\n%s\n",
              server.url().c_str());
  std::fflush(stdout);
  const timespec quarter{0, 250'000'000};
  while (sigtimedwait(&stop, nullptr, &quarter) < 0) server.tick();
  int jobs = server.stop();
  tool_error("stopped after %d job%s; every job folder is removed", jobs, jobs == 1 ? "" : "s");
  return kExitSame;
}

int run(int argc, char** argv) {
  ToolArgs args;
  int status;
  if (!read_command_line(argc, argv, kOptions, print_usage, &args, &status)) return status;
  ServerSettings settings;
  if (!parse(args, &settings)) return try_help();
  settings.state = user_folder(UserFolder::kState);
  if (settings.state.empty() || !make_private_folder(settings.state)) {
    tool_error("cannot make the state folder %s (set HOME or XDG_STATE_HOME)",
               settings.state.c_str());
    return kExitTrouble;
  }
  settings.memory = {user_folder(UserFolder::kConfig), settings.state};
  if (settings.memory.config.empty()) {
    tool_error("cannot find the configuration folder (set HOME or XDG_CONFIG_HOME)");
    return kExitTrouble;
  }
  std::string running = running_url(settings.state);
  if (args.has("new-token") && !running.empty()) {
    tool_error("kinroll-web is running at %s: end it before making a new address",
               running.c_str());
    return kExitTrouble;
  }
  if (!load_token(settings.state, args.has("new-token"), &settings.token)) return kExitTrouble;
  if (args.has("open")) return open_page(settings.state, server_command(argc, argv));
  remove_stale_folders(settings.state);
  // Every thread started from here on has these blocked; the server waits
  // for them. A closed connection is an error of its own, not a signal.
  sigset_t stop;
  sigemptyset(&stop);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stop, sig);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  signal(SIGPIPE, SIG_IGN);
  return serve(settings, stop);
}

}  // namespace

int main(int argc, char** argv) {
  set_tool_name("kinroll-web");
  return run(argc, argv);
}
