#pragma once
// The web server of kinroll-web: its addresses, the checks every request
// passes, and the jobs it runs.

#include <signal.h>

#include <chrono>
#include <string>

#include "web/job.h"

/// How the server is set up.
struct ServerSettings {
  std::string listen = "127.0.0.1";  ///< numeric address to listen on
  int port = 8080;                   ///< 0: a free port
  JobPrograms programs;
  std::chrono::milliseconds keep{std::chrono::minutes(30)};  ///< results kept after a fetch
};

/// Serves the page until one of `stop` (signals blocked in every thread of
/// the program) arrives: prints the address to open, with the access
/// token, on standard output, then serves; at the end stops every job,
/// removes every job folder and returns 0. Returns 2 after a message when
/// the address cannot be listened on or the private folder cannot be made.
int run_server(const ServerSettings& settings, const sigset_t& stop);
