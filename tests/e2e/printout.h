#pragma once
// Builders for the fixed-column report lines the end-to-end tests feed in.

#include <cstdio>
#include <ctime>
#include <string>

namespace e2e {

/// `s` padded with blanks (or cut) to exactly `width` characters.
inline std::string pad(std::string s, size_t width) {
  s.resize(width, ' ');
  return s;
}

/// A member's columns of a directory line, from column 41 on.
struct Member231 {
  std::string first;      ///< first name
  bool child = false;     ///< indented by one column
  char sex = ' ';
  std::string stat;       ///< status, e.g. "Nonmembr"
  std::string birth;      ///< "07Mar61" or empty
  int age = 0;            ///< 0: not printed
  std::string recno;      ///< empty: none
};

/// One directory data line: the family part in columns 0-40 and, when given,
/// a member in the columns after it. Trailing blanks are dropped.
inline std::string line231(const std::string& family, const Member231* m = nullptr) {
  std::string line = pad(family, 41);
  if (m != nullptr) {
    line += pad((m->child ? " " : "") + m->first, 22);
    line += m->sex;
    line += ' ';
    line += pad(m->stat, 9);
    line += pad(m->birth, 7);
    line += "     ";
    if (m->age > 0) {
      char age[16];
      std::snprintf(age, sizeof age, "%2d", m->age);
      line += age;
    } else {
      line += "  ";
    }
    line += "       ";
    line += m->recno;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line + "\n";
}

/// Today's date as the program prints it in titles.
inline std::string today() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[16];
  std::strftime(buf, sizeof buf, "%m/%d/%y", &tm);
  return buf;
}

}  // namespace e2e
