#pragma once
// `kinroll-web --open`: the way in for a clerk who never sees a terminal
// (the desktop launcher runs it). It opens the running instance's address,
// which holds the token, in the browser, starting the server first when
// none runs.

#include <string>
#include <vector>

/// Opens the address of the instance recorded in the state folder `state`
/// (running_url) in the browser: the first program of $BROWSER (a list
/// separated by ':'), else xdg-open, given the address as its one argument.
/// When no instance runs, first starts `server` (the program and its
/// arguments) in the background, in a session of its own, its output in
/// STATE/web.log (mode 0600), and waits up to 10 s for its address. Prints
/// the address on standard output. Returns 0 when the browser was started;
/// 2 after a message when the server did not start or no browser could be.
int open_page(const std::string& state, const std::vector<std::string>& server);
