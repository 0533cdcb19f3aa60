#include "web/token.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

std::string random_hex(size_t bytes) {
  std::vector<unsigned char> raw(bytes);
  size_t got = 0;
  while (got < bytes) {
    ssize_t n = getrandom(raw.data() + got, bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      std::fputs("kinroll-web: no random bytes from the kernel\n", stderr);
      std::abort();
    }
    got += static_cast<size_t>(n);
  }
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : raw) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

bool same_secret(std::string_view given, std::string_view secret) {
  if (given.size() != secret.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < given.size(); ++i) {
    diff |= static_cast<unsigned char>(given[i] ^ secret[i]);
  }
  return diff == 0;
}
