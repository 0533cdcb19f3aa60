#include "changes/describe.h"

namespace {

/// `name` followed by ", " and `first` when there is a first name.
std::string with_first(const Text& name, const Text& first) {
  std::string s = name.str();
  if (!first.empty()) {
    s += ", ";
    s += first.view();
  }
  return s;
}

/// Appends `part` to `line`, after `sep` when `line` is not empty.
void join(std::string& line, std::string_view part, std::string_view sep) {
  if (part.empty()) return;
  if (!line.empty()) line += sep;
  line += part;
}

}  // namespace

std::string family_name(const WardFamily* fam) { return with_first(fam->lname, fam->fname); }

std::string member_name(const WardMember* mem) { return with_first(mem->lname, mem->fname); }

std::string address_line(const WardFamily* fam) {
  std::string city = fam->city.str();
  join(city, fam->state.view(), ", ");
  join(city, fam->zip.view(), " ");
  if (!fam->zip2.empty()) {
    city += '-';
    city += fam->zip2.view();
  }
  std::string line;
  join(line, fam->addr.view(), ", ");
  join(line, fam->addr2.view(), ", ");
  join(line, city, ", ");
  return line;
}

std::string birth_date(const WardMember* mem) {
  return std::string(mem->bday) + mem->bmonth + mem->byear;
}

std::string age_note(const WardMember* mem) {
  if (mem->age > 0) return std::to_string(mem->age);
  std::string born = birth_date(mem);
  if (born.empty()) return "";
  return "newborn, born " + born;
}
