#include "changes/report.h"

#include <string>
#include <utility>

#include "changes/describe.h"
#include "changes/match.h"
#include "model/arena.h"
#include "model/listing.h"
#include "writers/wardcsv.h"

namespace {

/// The kinds' section titles in the report and names in the CSV file, by kind.
constexpr struct {
  const char* title;
  const char* csv;
} kKinds[kChangeKinds] = {
    {"Families moved in", "moved-in"},
    {"Families moved out", "moved-out"},
    {"Members added to a family", "added"},
    {"Members gone from a family", "gone"},
    {"Members moved to another family", "moved"},
    {"Addresses changed", "address"},
    {"Phones changed", "phone"},
    {"Names changed", "name"},
    {"New data-quality notes", "note"},
};

/// `s`, or "(none)" when it is empty.
std::string or_none(std::string s) { return s.empty() ? "(none)" : s; }

/// " (age)" after a member's name, or nothing when there is no age to show.
std::string age_suffix(const WardMember* mem) {
  std::string age = age_note(mem);
  return age.empty() ? age : " (" + age + ")";
}

/// The block of a household moving in or out.
void write_household(const WardFamily* fam, FILE* fp) {
  std::fprintf(fp, "  %s\n", family_name(fam).c_str());
  std::fprintf(fp, "    Address: %s\n", or_none(address_line(fam)).c_str());
  std::fprintf(fp, "    Phone: %s\n", or_none(fam->phone.str()).c_str());
  std::string members;
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    if (!members.empty()) members += ", ";
    members += mem->fname.view();
    members += age_suffix(mem);
  }
  std::fprintf(fp, "    Members: %s\n", or_none(members).c_str());
}

/// Address and phone of a household moving, for its CSV row.
std::string household_value(const WardFamily* fam) {
  std::string s = address_line(fam);
  if (!fam->phone.empty()) {
    if (!s.empty()) s += "; ";
    s += fam->phone.view();
  }
  return s;
}

/// The values before and now that `c` tells, the CSV row's Old and New.
std::pair<std::string, std::string> change_values(const WardChange* c) {
  switch (c->kind) {
    case ChangeKind::kMovedIn:
      return {"", household_value(c->new_fam)};
    case ChangeKind::kMovedOut:
      return {household_value(c->old_fam), ""};
    case ChangeKind::kMemberAdded:
      return {"", age_note(c->new_mem)};
    case ChangeKind::kMemberGone:
      return {age_note(c->old_mem), ""};
    case ChangeKind::kMemberMoved:
      return {family_name(c->old_fam), family_name(c->new_fam)};
    case ChangeKind::kAddress:
      return {address_line(c->old_fam), address_line(c->new_fam)};
    case ChangeKind::kPhone:
      return {c->old_fam->phone.str(), c->new_fam->phone.str()};
    case ChangeKind::kName:
      return {member_name(c->old_mem), member_name(c->new_mem)};
    case ChangeKind::kNote:
      return {"", c->note->msg.str()};
  }
  return {};
}

void write_change(const WardChange* c, FILE* fp) {
  const WardFamily* fam = change_family(c);
  const WardMember* mem = change_member(c);
  auto [before, now] = change_values(c);
  switch (c->kind) {
    case ChangeKind::kMovedIn:
    case ChangeKind::kMovedOut:
      write_household(fam, fp);
      break;
    case ChangeKind::kMemberAdded:
    case ChangeKind::kMemberGone:
      std::fprintf(fp, "  %s%s %s %s\n", member_name(mem).c_str(), age_suffix(mem).c_str(),
                   c->kind == ChangeKind::kMemberAdded ? "in" : "from", family_name(fam).c_str());
      break;
    case ChangeKind::kMemberMoved:
      std::fprintf(fp, "  %s%s: %s -> %s\n", member_name(mem).c_str(), age_suffix(mem).c_str(),
                   before.c_str(), now.c_str());
      break;
    case ChangeKind::kAddress:
      std::fprintf(fp, "  %s\n    Old: %s\n    New: %s\n", family_name(fam).c_str(),
                   or_none(before).c_str(), or_none(now).c_str());
      break;
    case ChangeKind::kPhone:
      std::fprintf(fp, "  %s: %s -> %s\n", family_name(fam).c_str(), or_none(before).c_str(),
                   or_none(now).c_str());
      break;
    case ChangeKind::kName:
      std::fprintf(fp, "  %s: %s -> %s\n", std::string(real_recno(mem)).c_str(), before.c_str(),
                   now.c_str());
      break;
    case ChangeKind::kNote:
      std::fprintf(fp, "  ");
      if (mem != nullptr) {
        list_mem_err(mem, c->note->msg.c_str(), fp);
      } else {
        list_fam_err(fam, c->note->msg.c_str(), fp);
      }
      break;
  }
}

/// The CSV row of `c`; the texts are copied into the current arena on the way.
void write_csv_row(const WardChange* c, FILE* fp) {
  const WardFamily* fam = change_family(c);
  const WardMember* mem = change_member(c);
  const WardMember* numbered = mem != nullptr ? mem : fam->members;  // a household's head
  auto [before, now] = change_values(c);
  csv_first(fp, kKinds[static_cast<int>(c->kind)].csv);
  csvfld(fp, Text(family_name(fam)));
  csvfld(fp, Text(mem != nullptr ? member_name(mem) : ""));
  csvfld(fp, Text(numbered != nullptr ? real_recno(numbered) : std::string_view()));
  csvfld(fp, Text(before));
  csvfld(fp, Text(now));
  std::fputc('\n', fp);
}

}  // namespace

void write_changes_report(const WardChange* list, const char* old_name, const char* new_name,
                          FILE* fp) {
  if (list == nullptr) {
    std::fprintf(fp, "No changes\n");
    return;
  }
  std::fprintf(fp, "Changes from %s to %s\n", old_name, new_name);
  const WardChange* c = list;
  while (c != nullptr) {
    ChangeKind kind = c->kind;
    std::fprintf(fp, "\n%s: %d\n", kKinds[static_cast<int>(kind)].title, count_changes(c, kind));
    for (; c != nullptr && c->kind == kind; c = c->next) write_change(c, fp);
  }
}

void write_changes_csv(const WardChange* list, FILE* fp) {
  Arena scratch;
  ArenaScope scope(scratch);
  std::fprintf(fp, "Kind,Family,Member,RecordNo,Old,New\n");
  for (const WardChange* c = list; c != nullptr; c = c->next) write_csv_row(c, fp);
}
