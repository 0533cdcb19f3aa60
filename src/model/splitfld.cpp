#include "model/splitfld.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>

int read_line(std::string& line, FILE* fp) {
  // fgets takes at most 511 characters, through the line feed, and scans
  // the stream's buffer a block at a time; the text ends at its first NUL.
  char buf[kMaxLine + 1];
  if (std::fgets(buf, sizeof buf, fp) == nullptr) {
    line.clear();
    return -1;
  }
  size_t n = std::strlen(buf);
  if (const void* cr = std::memchr(buf, '\r', n)) {
    n = static_cast<size_t>(static_cast<const char*>(cr) - buf);
  } else if (n > 0 && buf[n - 1] == '\n') {
    --n;
  }
  line.assign(buf, n);
  return 0;
}

std::string_view extract_field(std::string_view buf, size_t beg, size_t end) {
  if (end <= beg || beg >= buf.size()) return {};
  return buf.substr(beg, end - beg);
}

std::string_view rtrim_field(std::string_view buf, size_t beg, size_t end) {
  return rtrim_view(extract_field(buf, beg, end));
}

std::string_view ltrim_view(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view rtrim_view(std::string_view s) {
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view trim_view(std::string_view s) { return rtrim_view(ltrim_view(s)); }

int read_number(std::string_view line, size_t col) {
  std::string_view digits = ltrim_view(extract_field(line, col, line.size()));
  // Unsigned, so that a '-' is no digit; an overflow leaves `n` unchanged.
  unsigned n = 0;
  auto result = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (result.ec == std::errc::result_out_of_range || n > INT_MAX) return INT_MAX;
  return static_cast<int>(n);
}

bool skip_lines(std::string& line, FILE* fp, int n) {
  for (int i = 0; i < n; ++i) {
    if (read_line(line, fp) != 0) return false;
  }
  return true;
}

int split_flds(std::string_view str, std::vector<std::string_view>& flds, char delim,
               bool skip, int maxflds) {
  flds.clear();
  if (str.empty()) return 0;
  size_t pos = 0;
  while (static_cast<int>(flds.size()) < maxflds) {
    size_t stop = str.find(delim, pos);
    flds.push_back(str.substr(pos, stop - pos));  // to the end without a delimiter
    if (stop == std::string_view::npos) break;
    pos = stop + 1;
    while (skip && pos < str.size() && str[pos] == delim) ++pos;
  }
  return static_cast<int>(flds.size());
}

const char* const months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int convert_month(std::string_view mname) {
  auto it = std::ranges::find(months, mname);
  return it == std::end(months) ? 0 : static_cast<int>(it - months) + 1;
}

const char* mem_type(int type) {
  switch (type) {
    case 1: return "Head";
    case 2: return "Spouse";
    case 3: return "Child";
    default: return "Unknown";
  }
}

const char* const HTGroup[6] = {"??", "NA", "EL", "HP", "NC", "RS"};

const char* htgroup(int n) { return (n < 0 || n > 5) ? "??" : HTGroup[n]; }
