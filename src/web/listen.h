#pragma once
// The address kinroll-web listens on: one numeric address, never the
// any-address, and a listening socket of its own that no second server can
// share.

#include <sys/socket.h>

#include <string>

/// A numeric address to listen on, as the command line gave it.
struct ListenAddress {
  std::string text;         ///< numeric, as Host headers name it: "127.0.0.1", "::1"
  sockaddr_storage addr{};  ///< the address, port 0
  socklen_t len = 0;
  bool loopback = false;    ///< in 127.0.0.0/8, or ::1
};

/// Reads `text` into `*out`: "localhost" is 127.0.0.1; else an IPv4 address
/// in dotted decimal or an IPv6 address, as inet_pton takes them. Returns
/// An IPv4 address written as IPv6 ("::ffff:127.0.0.1") is taken as the IPv4
/// one. Returns false with `*why` set, the end of a sentence "--listen
/// needs ...", for a name that is not an address, or for any spelling of the
/// any-address ("0", "0x0", "0.0.0.0", "::", "::0", "::ffff:0.0.0.0", ...),
/// which would let in every computer that reaches this one.
bool parse_listen_address(const std::string& text, ListenAddress* out, std::string* why);

/// Opens a socket listening on `address` at `port` (0: a free one), with
/// SO_REUSEADDR only, so that a port another program listens on is refused
/// (EADDRINUSE). Returns the socket, close-on-exec, and sets `*bound` to the
/// port it got; -1 with errno set when it cannot listen.
int open_listener(const ListenAddress& address, int port, int* bound);
