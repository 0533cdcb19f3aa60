#include "contacts/vtext.h"

namespace {

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
