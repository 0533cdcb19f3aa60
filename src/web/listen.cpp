#include "web/listen.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

/// The IPv4 address `v4` (network order) of `out`, port 0.
void set_v4(ListenAddress* out, in_addr v4) {
  sockaddr_in sin{};
  sin.sin_family = AF_INET;
  sin.sin_addr = v4;
  std::memcpy(&out->addr, &sin, sizeof sin);
  out->len = sizeof sin;
  out->loopback = (ntohl(v4.s_addr) >> 24) == 127;
}

}  // namespace

bool parse_listen_address(const std::string& text, ListenAddress* out, std::string* why) {
  const char* any = "the one address the page is opened at, not the any-address ";
  std::string given = text == "localhost" ? "127.0.0.1" : text;
  in_addr v4{};
  in6_addr v6{};
  if (inet_pton(AF_INET, given.c_str(), &v4) == 1) {
    if (v4.s_addr == 0) return *why = any + text, false;
    set_v4(out, v4);
  } else if (inet_pton(AF_INET6, given.c_str(), &v6) == 1) {
    if (IN6_IS_ADDR_UNSPECIFIED(&v6)) return *why = any + text, false;
    if (IN6_IS_ADDR_V4MAPPED(&v6) || IN6_IS_ADDR_V4COMPAT(&v6)) {
      // An IPv4 address written as IPv6 is listened on as the IPv4 one.
      std::memcpy(&v4, &v6.s6_addr[12], 4);
      if (v4.s_addr == 0) return *why = any + text, false;
      char buf[INET_ADDRSTRLEN];
      given = inet_ntop(AF_INET, &v4, buf, sizeof buf);
      set_v4(out, v4);
    } else {
      sockaddr_in6 sin6{};
      sin6.sin6_family = AF_INET6;
      sin6.sin6_addr = v6;
      std::memcpy(&out->addr, &sin6, sizeof sin6);
      out->len = sizeof sin6;
      out->loopback = IN6_IS_ADDR_LOOPBACK(&v6);
    }
  } else {
    // inet_aton takes the old short forms ("0", "0x0", "127.1") that
    // inet_pton refuses; they name an address all the same.
    bool zero = inet_aton(given.c_str(), &v4) != 0 && v4.s_addr == 0;
    *why = zero ? any + text
                : "a numeric IPv4 or IPv6 address (such as 127.0.0.1 or ::1), not " +
                      (text.empty() ? std::string("an empty text") : text);
    return false;
  }
  out->text = given;
  return true;
}

int open_listener(const ListenAddress& address, int port, int* bound) {
  auto addr = address.addr;
  bool v6 = addr.ss_family == AF_INET6;
  auto* sin_port = v6 ? &reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port
                      : &reinterpret_cast<sockaddr_in*>(&addr)->sin_port;
  *sin_port = htons(static_cast<uint16_t>(port));
  int fd = ::socket(addr.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (v6) ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
  socklen_t len = address.len;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd, 64) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    int reason = errno;
    ::close(fd);
    errno = reason;
    return -1;
  }
  *bound = ntohs(*sin_port);
  return fd;
}
