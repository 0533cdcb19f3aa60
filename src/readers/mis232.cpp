#include "readers/mis232.h"

#include <string>

#include "model/flatindex.h"
#include "model/splitfld.h"

namespace {

// Columns of a family line.
constexpr size_t kPhoneEnd = 20;  // phone: 0-19
constexpr size_t kName = 22;      // surname, then first names
constexpr size_t kNamesEnd = 64;  // names column ends at 63
constexpr size_t kAddrEnd = 105;  // address: 64-104
constexpr size_t kCodeEnd = 108;  // code: 105-107
constexpr size_t kSub = 23;       // continuation text of spouse and child lines

// The first names of a names column that reaches column 63, without the dot
// leaders that fill it up to there. Blanks before the dots stay.
std::string_view drop_leaders(std::string_view names, bool to_column_end) {
  if (!to_column_end) return names;
  while (!names.empty() && names.back() == '.') names.remove_suffix(1);
  return names;
}

// A new member of `type` with first name `fname`, not yet in a family; null
// when it cannot be allocated.
WardMember* new_member(int type, std::string_view fname) {
  WardMember* mem = create_ward_member();
  if (mem == nullptr) return nullptr;
  mem->type = type;
  mem->fname = Text(fname);
  return mem;
}

/// The hash of the names and address under which a family is matched.
uint64_t match_hash(const WardFamily* fam) {
  return KeyHash().add(fam->lname.view()).add(fam->fname.view()).add(fam->addr.view()).value();
}

bool same_names(const WardFamily* a, const WardFamily* b) {
  return a->lname == b->lname && a->fname == b->fname && a->addr == b->addr;
}

}  // namespace

bool is_mis232(std::string_view line) {
  return line.size() > 22 && line[20] == ' ' && line[21] == ' ' && is_upper(line[22]);
}

bool is_mis232_spouse(std::string_view line) { return line.size() > 21 && line[21] == '&'; }

bool is_mis232_child(std::string_view line) {
  return line.size() > 23 && line[20] == ' ' && line[21] == ' ' && line[22] == ' ' &&
         is_upper(line[23]);
}

WardFamily* parse_mis232(std::string_view line) {
  WardFamily* fam = create_ward_family();
  if (fam == nullptr) return nullptr;
  WardMember* head = create_ward_member();
  if (head == nullptr) {
    free_ward_family(fam);
    return nullptr;
  }
  head->type = 1;

  fam->phone = Text(ltrim_view(extract_field(line, 0, kPhoneEnd)));
  // A column that begins past the end of the line is an empty text.
  std::string_view addr = rtrim_field(line, kNamesEnd, kAddrEnd);
  if (addr.empty()) addr = extract_field(line, kNamesEnd, kNamesEnd + 1);
  fam->addr = Text(addr);
  fam->acode = Text(extract_field(line, kAddrEnd, kCodeEnd));

  std::string_view column = extract_field(line, kName, kNamesEnd);
  bool to_column_end = line.size() >= kNamesEnd;
  size_t comma = column.find(',', 1);
  if (comma == std::string_view::npos) {
    // No first names to be had: the name column is the surname, and the head
    // keeps no first name so that the family matches no ward family.
    fam->lname = Text(rtrim_view(drop_leaders(column, to_column_end)));
    append_member(fam, head);
    return fam;
  }
  fam->lname = Text(column.substr(0, comma));
  std::string_view names = drop_leaders(ltrim_view(column.substr(comma + 1)), to_column_end);

  // Head and spouse are joined by " & "; the '.' of an initial ends the search.
  size_t amp = names.find_first_of("&.", 1);
  bool has_spouse = amp != std::string_view::npos && names[amp] == '&';
  head->fname = Text(has_spouse ? names.substr(0, amp - 1) : names);
  fam->fname = head->fname;
  append_member(fam, head);
  if (has_spouse) {
    WardMember* spouse = new_member(2, extract_field(names, amp + 2, names.size()));
    if (spouse != nullptr) append_member(fam, spouse);
  }
  return fam;
}

namespace {

void add_spouse(std::string_view line, WardFamily* fam, WardMember*& last) {
  WardMember* spouse = new_member(2, extract_field(line, kSub, line.size()));
  if (spouse != nullptr) append_member_after(fam, last, spouse);
}

void add_children(std::string_view line, WardFamily* fam, WardMember*& last) {
  std::string_view rest = ltrim_view(extract_field(line, kSub, line.size()));
  while (!rest.empty()) {
    size_t end = rest.find(',');
    std::string_view entry = rest.substr(0, end);
    WardMember* child = new_member(3, entry);
    if (child == nullptr) return;

    // A child with another surname is printed "Billy JONES": split at the
    // first two capitals in a row, unless they are a plain "JR".
    for (size_t i = 1; i + 1 < entry.size(); ++i) {
      if (is_upper(entry[i]) && is_upper(entry[i + 1])) {
        if (entry.substr(i) != "JR") {
          child->fname = Text(entry.substr(0, i - 1));
          child->lname = Text(entry.substr(i));
        }
        break;
      }
    }
    append_member_after(fam, last, child);
    if (end == std::string_view::npos) break;
    rest = ltrim_view(rest.substr(end + 1));
  }
}

}  // namespace

void parse_mis232_spouse(std::string_view line, WardFamily* fam) {
  WardMember* last = last_member(fam);
  add_spouse(line, fam, last);
}

void parse_mis232_child(std::string_view line, WardFamily* fam) {
  WardMember* last = last_member(fam);
  add_children(line, fam, last);
}

WardFamily* read_mis232(FILE* fp) {
  WardFamily* list = nullptr;
  WardFamily* tail = nullptr;
  WardFamily* cur = nullptr;
  WardMember* last = nullptr;  // the current family's last member
  std::string line;
  while (read_line(line, fp) == 0) {
    if (is_mis232(line)) {
      cur = parse_mis232(line);
      if (cur == nullptr) continue;
      last = last_member(cur);
      append_remembered(list, tail, cur);
    } else if (is_mis232_spouse(line)) {
      if (cur != nullptr) add_spouse(line, cur, last);
    } else if (is_mis232_child(line)) {
      if (cur != nullptr) add_children(line, cur, last);
    }
  }
  return list;
}

const WardFamily* find_family_mis232(const WardFamily* mis232, const WardFamily* fam) {
  if (!fam->lname || !fam->fname || !fam->addr) return nullptr;
  for (const WardFamily* e = mis232; e != nullptr; e = e->next) {
    if (e->addr && same_names(e, fam)) return e;
  }
  return nullptr;
}

void merge_232(WardFamily* mis231, const WardFamily* mis232) {
  // Each (last name, first name, address)'s first entry, as
  // find_family_mis232 would find it.
  using Index = FlatIndex<const WardFamily*>;
  Index::Items named;
  for (const WardFamily* e = mis232; e != nullptr; e = e->next) {
    if (e->lname && e->fname && e->addr) named.emplace_back(match_hash(e), e);
  }
  Index by_names = Index::of(named, Index::kFirst, same_names);
  for (WardFamily* fam = mis231; fam != nullptr; fam = fam->next) {
    if (fam->sname) continue;
    const WardFamily* const* entry = nullptr;
    if (fam->lname && fam->fname && fam->addr) {
      auto same = [&](const WardFamily* e) { return same_names(e, fam); };
      entry = by_names.find(match_hash(fam), same);
    }
    if (entry != nullptr) {
      copy_into(fam->acode, (*entry)->acode);
    } else {
      std::fprintf(stdout, "Can't find entry in MIS232 (%s, %s)\n",
                   str_or_empty(fam->lname), str_or_empty(fam->fname));
    }
  }
}
