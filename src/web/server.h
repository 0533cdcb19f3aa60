#pragma once
// The web server of kinroll-web: its addresses, the checks every request
// passes, and the jobs it runs.

#include <signal.h>

#include <chrono>
#include <string>

#include "web/job.h"
#include "web/listen.h"

/// How the server is set up.
struct ServerSettings {
  ListenAddress listen;  ///< numeric address to listen on
  int port = 8080;       ///< 0: a free port
  std::string token;     ///< the key in every address of the page
  std::string state;     ///< the user's state folder (instance.h), made
  JobPrograms programs;
  std::chrono::milliseconds keep{std::chrono::minutes(30)};  ///< results kept after a fetch
};

/// Serves the page until one of `stop` (signals blocked in every thread of
/// the program) arrives: records its private folder and its address in the
/// state folder, prints the address to open, the token in it, on standard
/// output, then serves every page under "/TOKEN/" (any other path is a bare
/// 404); at the end stops every job, removes every job folder and returns
/// 0. Returns 2 after a message when the port is in use, the address cannot
/// be listened on or the private folder cannot be made.
int run_server(const ServerSettings& settings, const sigset_t& stop);
