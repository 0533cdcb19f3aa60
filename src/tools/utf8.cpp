#include "tools/utf8.h"

#include <algorithm>

namespace {

bool is_control(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7f; }

bool is_continuation(unsigned char c) { return (c & 0xc0) == 0x80; }

}  // namespace

std::string utf8_from_latin1(std::string_view s, Controls controls) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 0x80) {
      out += static_cast<char>(0xc0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
      out += controls == Controls::kBlank && is_control(c) ? ' ' : ch;
    }
  }
  return out;
}

bool is_utf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    // No sequence starts with a continuation byte, 0xc0/0xc1 (overlong) or
    // a byte beyond 0xf4.
    size_t len = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : 2;
    if (c < 0xc2 || c > 0xf4 || i + len > s.size()) return false;
    unsigned cp = c & (0x7f >> len);  // the lead byte's bits
    for (size_t k = 1; k < len; ++k) {
      auto d = static_cast<unsigned char>(s[i + k]);
      if (!is_continuation(d)) return false;
      cp = (cp << 6) | (d & 0x3f);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)) return false;  // overlong
    if ((cp >= 0xd800 && cp <= 0xdfff) || cp > 0x10ffff) return false;  // surrogate, too large
    i += len;
  }
  return true;
}

std::string utf8_from_argument(std::string_view s) {
  if (!is_utf8(s)) return utf8_from_latin1(s);
  std::string out(s);
  std::ranges::replace_if(out, is_control, ' ');
  return out;
}

