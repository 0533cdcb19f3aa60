#include "contacts/vtext.h"

#include <algorithm>

namespace {

bool is_control(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7f; }

bool is_continuation(unsigned char c) { return (c & 0xc0) == 0x80; }

/// The end of the character of `s` that starts at `at`: its lead byte and
/// the continuation bytes after it, four octets at most.
size_t char_end(std::string_view s, size_t at) {
  size_t end = at + 1;
  while (end < s.size() && end - at < 4 && is_continuation(static_cast<unsigned char>(s[end]))) {
    ++end;
  }
  return end;
}

/// The end of what no fold may split that starts at `at`: a character, or
/// a backslash and the character after it.
size_t unit_end(std::string_view s, size_t at) {
  return s[at] == '\\' && at + 1 < s.size() ? char_end(s, at + 1) : char_end(s, at);
}

}  // namespace

std::string utf8_from_latin1(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 0x80) {
      out += static_cast<char>(0xc0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
      out += is_control(c) ? ' ' : ch;
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

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string escape_vcard_text(std::string_view utf8, bool component) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    if (c == '\\' || c == ',' || c == '\n' || (c == ';' && component)) out += '\\';
    out += c == '\n' ? 'n' : c;
  }
  return out;
}

void write_content_line(FILE* fp, std::string_view line) {
  size_t room = kFoldOctets;  // octets the current physical line may take
  size_t start = 0;           // where the current physical line starts
  for (size_t at = 0; at < line.size();) {
    size_t end = unit_end(line, at);
    if (end - start > room) {
      std::fwrite(line.data() + start, 1, at - start, fp);
      std::fputs("\r\n ", fp);
      start = at;
      room = kFoldOctets - 1;  // the leading space takes one octet
    }
    at = end;
  }
  std::fwrite(line.data() + start, 1, line.size() - start, fp);
  std::fputs("\r\n", fp);
}

void write_content_lines(FILE* fp, std::string_view text) {
  std::string flat;  // the lines unfolded
  flat.reserve(text.size());
  size_t fold;
  while ((fold = text.find("\r\n ")) != std::string_view::npos) {
    flat += text.substr(0, fold);
    text.remove_prefix(fold + 3);
  }
  flat += text;
  std::string_view rest = flat;
  while (!rest.empty()) {
    size_t end = rest.find("\r\n");
    write_content_line(fp, rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
  }
}
