#include "model/lookup.h"

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool equal_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

WardFamily* find_family(WardFamily* list, std::string_view lname, std::string_view fname) {
  for (WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (fam->lname && fam->fname && equal_nocase(fam->lname.view(), lname) &&
        equal_nocase(fam->fname.view(), fname)) {
      return fam;
    }
  }
  return nullptr;
}

Text find_id_name(const WardFamily* list, const Text& name, const Text& phone) {
  if (list == nullptr || !name) return Text();
  std::string_view full = name.view();
  std::string_view last = full;
  std::string_view first;
  size_t comma = full.find(',');
  if (comma != std::string_view::npos) {
    last = full.substr(0, comma);
    // The comma and the blank the reports print after it are skipped.
    size_t start = comma + 2 <= full.size() ? comma + 2 : full.size();
    first = full.substr(start);
  }
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (phone ? !(fam->phone == phone) : static_cast<bool>(fam->phone)) continue;
    for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      if (mem->lname && equal_nocase(mem->lname.view(), last) && mem->fname == first) {
        return mem->recno;
      }
    }
  }
  return Text();
}

WardMember* find_family_member_recno(WardFamily* list, const Text& recno) {
  if (!recno) return nullptr;
  for (WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    for (WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      if (mem->recno == recno) return mem;
    }
  }
  return nullptr;
}
