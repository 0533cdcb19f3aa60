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

namespace {

/// A printed "Last, First" split at its first comma; the comma and the one
/// character after it (the blank the reports print) are skipped. Without a
/// comma it is all last name.
void split_printed_name(std::string_view full, std::string_view& last, std::string_view& first) {
  last = full;
  first = {};
  size_t comma = full.find(',');
  if (comma == std::string_view::npos) return;
  last = full.substr(0, comma);
  size_t start = comma + 2 <= full.size() ? comma + 2 : full.size();
  first = full.substr(start);
}

}  // namespace

std::string upper_case(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = upper(c);
  return out;
}

std::string member_key(const Text& phone, std::string_view last, std::string_view first) {
  std::string key = phone ? "P" + phone.str() : std::string("-");
  key += '\0';
  key += upper_case(last);
  key += '\0';
  key += first;
  return key;
}

MemberIndex::MemberIndex(WardFamily* list) {
  for (WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    for (WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      // emplace keeps the first member of a key, as the walks find it.
      if (mem->lname && mem->fname) {
        by_name_.emplace(member_key(fam->phone, mem->lname.view(), mem->fname.view()), mem);
      }
      if (mem->recno) by_recno_.emplace(mem->recno.view(), mem);
    }
  }
}

Text MemberIndex::find_id_name(const Text& name, const Text& phone) const {
  if (!name) return Text();
  std::string_view last, first;
  split_printed_name(name.view(), last, first);
  auto it = by_name_.find(member_key(phone, last, first));
  return it == by_name_.end() ? Text() : it->second->recno;
}

WardMember* MemberIndex::find_recno(const Text& recno) const {
  if (!recno) return nullptr;
  auto it = by_recno_.find(recno.view());
  return it == by_recno_.end() ? nullptr : it->second;
}

Text find_id_name(const WardFamily* list, const Text& name, const Text& phone) {
  if (list == nullptr || !name) return Text();
  std::string_view last, first;
  split_printed_name(name.view(), last, first);
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
