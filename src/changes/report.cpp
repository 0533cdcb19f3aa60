#include "changes/report.h"

#include <string>

#include "changes/describe.h"
#include "changes/match.h"
#include "model/arena.h"
#include "model/listing.h"
#include "writers/wardcsv.h"

namespace {

/// Section titles, by kind.
const char* const kTitles[kChangeKinds] = {
    "Families moved in",
    "Families moved out",
    "Members added to a family",
    "Members gone from a family",
    "Members moved to another family",
    "Addresses changed",
    "Phones changed",
    "Names changed",
    "New data-quality notes",
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

void write_change(const WardChange* c, FILE* fp) {
  switch (c->kind) {
    case ChangeKind::kMovedIn:
      write_household(c->new_fam, fp);
      break;
    case ChangeKind::kMovedOut:
      write_household(c->old_fam, fp);
      break;
    case ChangeKind::kMemberAdded:
      std::fprintf(fp, "  %s%s in %s\n", member_name(c->new_mem).c_str(),
                   age_suffix(c->new_mem).c_str(), family_name(c->new_fam).c_str());
      break;
    case ChangeKind::kMemberGone:
      std::fprintf(fp, "  %s%s from %s\n", member_name(c->old_mem).c_str(),
                   age_suffix(c->old_mem).c_str(), family_name(c->old_fam).c_str());
      break;
    case ChangeKind::kMemberMoved:
      std::fprintf(fp, "  %s%s: %s -> %s\n", member_name(c->new_mem).c_str(),
                   age_suffix(c->new_mem).c_str(), family_name(c->old_fam).c_str(),
                   family_name(c->new_fam).c_str());
      break;
    case ChangeKind::kAddress:
      std::fprintf(fp, "  %s\n    Old: %s\n    New: %s\n", family_name(c->new_fam).c_str(),
                   or_none(address_line(c->old_fam)).c_str(),
                   or_none(address_line(c->new_fam)).c_str());
      break;
    case ChangeKind::kPhone:
      std::fprintf(fp, "  %s: %s -> %s\n", family_name(c->new_fam).c_str(),
                   or_none(c->old_fam->phone.str()).c_str(),
                   or_none(c->new_fam->phone.str()).c_str());
      break;
    case ChangeKind::kName:
      std::fprintf(fp, "  %s: %s -> %s\n", std::string(real_recno(c->new_mem)).c_str(),
                   member_name(c->old_mem).c_str(), member_name(c->new_mem).c_str());
      break;
    case ChangeKind::kNote:
      std::fprintf(fp, "  ");
      if (c->new_mem != nullptr) {
        list_mem_err(c->new_mem, c->note->msg.c_str(), fp);
      } else {
        list_fam_err(c->new_fam, c->note->msg.c_str(), fp);
      }
      break;
  }
}

/// The record number a CSV row shows: the member's, else the head's.
std::string_view row_recno(const WardMember* mem, const WardFamily* fam) {
  if (mem == nullptr && fam != nullptr) mem = fam->members;
  return mem != nullptr ? real_recno(mem) : std::string_view();
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

/// One CSV row; the texts are copied into the current arena on the way.
void write_row(FILE* fp, const char* kind, const std::string& family, const std::string& member,
               std::string_view recno, const std::string& before, const std::string& now) {
  csv_first(fp, kind);
  csvfld(fp, Text(family));
  csvfld(fp, Text(member));
  csvfld(fp, Text(recno));
  csvfld(fp, Text(before));
  csvfld(fp, Text(now));
  std::fputc('\n', fp);
}

void write_csv_row(const WardChange* c, FILE* fp) {
  switch (c->kind) {
    case ChangeKind::kMovedIn:
      write_row(fp, "moved-in", family_name(c->new_fam), "", row_recno(nullptr, c->new_fam), "",
                household_value(c->new_fam));
      break;
    case ChangeKind::kMovedOut:
      write_row(fp, "moved-out", family_name(c->old_fam), "", row_recno(nullptr, c->old_fam),
                household_value(c->old_fam), "");
      break;
    case ChangeKind::kMemberAdded:
      write_row(fp, "added", family_name(c->new_fam), member_name(c->new_mem),
                row_recno(c->new_mem, nullptr), "", age_note(c->new_mem));
      break;
    case ChangeKind::kMemberGone:
      write_row(fp, "gone", family_name(c->old_fam), member_name(c->old_mem),
                row_recno(c->old_mem, nullptr), age_note(c->old_mem), "");
      break;
    case ChangeKind::kMemberMoved:
      write_row(fp, "moved", family_name(c->new_fam), member_name(c->new_mem),
                row_recno(c->new_mem, nullptr), family_name(c->old_fam), family_name(c->new_fam));
      break;
    case ChangeKind::kAddress:
      write_row(fp, "address", family_name(c->new_fam), "", row_recno(nullptr, c->new_fam),
                address_line(c->old_fam), address_line(c->new_fam));
      break;
    case ChangeKind::kPhone:
      write_row(fp, "phone", family_name(c->new_fam), "", row_recno(nullptr, c->new_fam),
                c->old_fam->phone.str(), c->new_fam->phone.str());
      break;
    case ChangeKind::kName:
      write_row(fp, "name", family_name(c->new_fam), member_name(c->new_mem),
                row_recno(c->new_mem, nullptr), member_name(c->old_mem), member_name(c->new_mem));
      break;
    case ChangeKind::kNote:
      write_row(fp, "note", family_name(c->new_fam),
                c->new_mem != nullptr ? member_name(c->new_mem) : "",
                row_recno(c->new_mem, c->new_fam), "", c->note->msg.str());
      break;
  }
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
    std::fprintf(fp, "\n%s: %d\n", kTitles[static_cast<int>(kind)], count_changes(c, kind));
    for (; c != nullptr && c->kind == kind; c = c->next) write_change(c, fp);
  }
}

void write_changes_csv(const WardChange* list, FILE* fp) {
  Arena scratch;
  ArenaScope scope(scratch);
  std::fprintf(fp, "Kind,Family,Member,RecordNo,Old,New\n");
  for (const WardChange* c = list; c != nullptr; c = c->next) write_csv_row(c, fp);
}
