#include "model/lookup.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "model/splitfld.h"

namespace {

/// A printed "Last, First" split at its first comma, less the comma and the
/// character after it (a blank); without a comma, all last name.
std::pair<std::string_view, std::string_view> split_printed_name(std::string_view full) {
  size_t comma = full.find(',');
  if (comma == std::string_view::npos) return {full, {}};
  return {full.substr(0, comma), full.substr(std::min(comma + 2, full.size()))};
}

/// True when `mem` of `fam` has the key of the lookups by name: the phone
/// `phone`, the last name `last` ignoring case and the first name `first`.
bool has_name_key(const WardFamily* fam, const WardMember* mem, const Text& phone,
                  std::string_view last, std::string_view first) {
  return fam->phone == phone && mem->lname && mem->fname == first &&
         equal_nocase(mem->lname.view(), last);
}

}  // namespace

bool equal_nocase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return to_upper(x) == to_upper(y); });
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

uint64_t name_key_hash(const Text& phone, std::string_view last, std::string_view first) {
  return KeyHash().add_text(phone).add_upper(last).add(first).value();
}

FlatIndex<MemberIndex::Named>::Items MemberIndex::gather(WardFamily* list) {
  FlatIndex<Named>::Items names;
  for (WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    for (WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      if (mem->lname && mem->fname) {
        names.push_back(
            {name_key_hash(fam->phone, mem->lname.view(), mem->fname.view()), {mem, fam}});
      }
    }
  }
  return names;
}

MemberIndex::MemberIndex(WardFamily* list)
    // The first member of a key is kept, as the walk finds it.
    : by_name_(FlatIndex<Named>::of(gather(list), FlatIndex<Named>::kFirst,
                                    [](const Named& a, const Named& b) {
                                      return has_name_key(a.fam, a.mem, b.fam->phone,
                                                          b.mem->lname.view(), b.mem->fname.view());
                                    })) {}

Text MemberIndex::find_id_name(const Text& name, const Text& phone) const {
  if (!name) return Text();
  // Plain variables, not a structured binding: the lambda below captures them.
  std::string_view last, first;
  std::tie(last, first) = split_printed_name(name.view());
  const Named* found = by_name_.find(name_key_hash(phone, last, first), [&](const Named& n) {
    return has_name_key(n.fam, n.mem, phone, last, first);
  });
  return found == nullptr ? Text() : found->mem->recno;
}

Text find_id_name(const WardFamily* list, const Text& name, const Text& phone) {
  if (list == nullptr || !name) return Text();
  auto [last, first] = split_printed_name(name.view());
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      if (has_name_key(fam, mem, phone, last, first)) return mem->recno;
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
