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

namespace e2e {

/// A family line of the family listing: phone in columns 0-19, names with
/// dot leaders to column 63, address in 64-104, code in 105-107.
inline std::string line232(const std::string& phone, const std::string& names,
                           const std::string& addr, const std::string& code) {
  std::string line = pad(std::string(20 - phone.size(), ' ') + phone, 20) + "  ";
  line += names + std::string(42 - names.size(), '.');
  return line + pad(addr, 41) + code + "\n";
}

/// A line of the record number list: name with dot leaders in columns 0-65,
/// record number in 66-78, birth in 81-89, baptism in 92-98, confirmation in
/// 101-107; dates left empty end the line early.
inline std::string line239(const std::string& name, const std::string& recno,
                           const std::string& birth, const std::string& bapt = "",
                           const std::string& conf = "") {
  std::string line = name + std::string(66 - name.size(), '.') + recno + "  " + birth;
  if (!bapt.empty()) line += "  " + bapt;
  if (!conf.empty()) line += "  " + conf;
  return line + "\n";
}

/// The page header of a directory printout (the title line and the five
/// lines read with it), which the companion programs look for.
inline std::string directory_page_header() {
  return "DIRECTORY OF MEMBERS (MIS 231)                 Page 1\nWard\nStake\n\nName\n\n";
}

/// A directory of one family with record numbers, which reads with no
/// pseudo numbers and no notes.
inline std::string small_directory() {
  Member231 ann{"Ann", false, 'F', "", "02Feb80", 45, "300-0001-0001"};
  return line231("NYGAARD", &ann) + line231(" 4 Spruce Ct") + line231(" Birchwood, UT 84002") +
         line231(" 555-0144") + "-----\n";
}

}  // namespace e2e
