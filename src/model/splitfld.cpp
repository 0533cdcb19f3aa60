#include "model/splitfld.h"

int read_line(std::string& line, FILE* fp) {
  char buf[kMaxLine];
  size_t kept = 0;
  size_t taken = 0;
  bool ended = false;  // the text ended at a CR or NUL; the rest of the piece is dropped
  while (taken < kMaxLine) {
    int c = getc_unlocked(fp);  // the stream is this thread's alone
    if (c == EOF) {
      if (std::ferror(fp)) {
        line.clear();
        return -1;
      }
      break;
    }
    ++taken;
    if (c == '\n') break;
    if (c == '\r' || c == '\0') ended = true;
    if (!ended) buf[kept++] = static_cast<char>(c);
  }
  line.assign(buf, kept);
  return taken == 0 ? -1 : 0;
}

std::string_view extract_field(std::string_view buf, size_t beg, size_t end) {
  if (end <= beg || beg >= buf.size()) return {};
  return buf.substr(beg, end - beg);
}

std::string_view rtrim_field(std::string_view buf, size_t beg, size_t end) {
  std::string_view f = extract_field(buf, beg, end);
  while (!f.empty() && is_blank(f.back())) f.remove_suffix(1);
  return f;
}

int split_flds(std::string_view str, std::vector<std::string_view>& flds, char delim,
               bool skip, int maxflds) {
  flds.clear();
  size_t pos = 0;
  while (pos < str.size() && static_cast<int>(flds.size()) < maxflds) {
    size_t stop = str.find(delim, pos);
    if (stop == std::string_view::npos) {
      flds.push_back(str.substr(pos));
      break;
    }
    flds.push_back(str.substr(pos, stop - pos));
    pos = stop + 1;
    if (skip) {
      while (pos < str.size() && str[pos] == delim) ++pos;
    }
    if (pos == str.size()) {
      if (static_cast<int>(flds.size()) < maxflds) flds.push_back(str.substr(pos));
      break;
    }
  }
  return static_cast<int>(flds.size());
}

const char* const months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int convert_month(std::string_view mname) {
  for (int i = 0; i < 12; ++i) {
    if (mname == months[i]) return i + 1;
  }
  return 0;
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
