#include "readers/mis121.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lists/unitnames.h"
#include "model/pages.h"
#include "model/splitfld.h"
#include "readers/wardorgs.h"

namespace {

// Page header of the ward report: the start of its title after an optional
// form feed or '*', then 5 more lines to skip.
const char* const kWardTitle = "WARD ORGANIZATION POSITIONS LIST (MIS 121)";
constexpr int kWardHeaderLines = 5;
// Page header of the stake report: the start of its title 12 columns in; the
// unit line follows, then 4 more lines to skip.
const char* const kStakeTitle = "WARD ORGANIZATION REPORT";
constexpr size_t kStakeTitleCol = 12;
constexpr int kStakeHeaderLines = 4;
// A heading that is really the footer's text.
const char* const kFooter = "For church use only";

/// A new organisation for a MIS 121 heading, named from the organisation
/// table or, failing that, by the heading itself.
WardOrg* ward_org(std::string_view heading) {
  WardOrg* org = create_ward_org();
  if (org == nullptr) return nullptr;
  if (const WardOrgs* ent = wardorgs_find_hdr(heading)) {
    org->org = ent->name;
    org->abbr = ent->abbr;
    return org;
  }
  std::fprintf(stderr, "Can't find organization (%.*s) in wardorgs.txt\n",
               static_cast<int>(heading.size()), heading.data());
  try {
    org->org = Text(heading);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  org->abbr = org->org;
  return org;
}

/// The position of one MIS 121 position line.
WardPos* ward_pos(WardOrg* org, std::string_view line) {
  WardPos* pos = create_ward_pos(org);
  if (pos == nullptr) return nullptr;
  const size_t len = line.size();
  try {
    pos->pos = Text(rtrim_field(line, 0, 33));
    if (len > 34 && line[34] != ' ') {
      pos->per = Text(rtrim_field(line, 34, 76));
      if (len > 77 && line[77] != ' ') pos->sus = Text(rtrim_field(line, 77, 88));
    }
    if (len > 88) pos->ph = Text(line.substr(88));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return pos;
}

void report_no_org() { std::fprintf(stderr, "Can't allocate WardOrg\n"); }
void report_no_pos() { std::fprintf(stderr, "Can't allocate ward position struct\n"); }

}  // namespace

WardOrg* read_mis121(FILE* fp) {
  WardOrg* orgs = nullptr;
  WardOrg* org = nullptr;       // the last organisation
  WardPos* last_pos = nullptr;  // its last position
  std::string line;
  while (read_line(line, fp) == 0) {
    std::string_view view(line);
    if (begins_page(view, kWardTitle, true)) {
      if (!skip_lines(line, fp, kWardHeaderLines)) break;
      continue;
    }
    if (is_page_footer(view) || view.size() < 3) continue;

    if (view.front() == ' ') {
      std::string_view heading = trim_view(view);
      if (heading.empty()) continue;
      WardOrg* next = ward_org(heading);
      if (next == nullptr) {
        report_no_org();
        break;
      }
      append_remembered(orgs, org, next);
      last_pos = nullptr;
      continue;
    }

    if (org == nullptr) continue;  // before the first heading
    WardPos* pos = ward_pos(org, view);
    if (pos == nullptr) {
      report_no_pos();
      break;
    }
    append_remembered(org->pos, last_pos, pos);
  }
  return orgs;
}

WardMember* find_member_mis121(WardFamily* list, const WardPos* pos) {
  if (pos == nullptr || !pos->per) return nullptr;
  return find_family_member_recno(list, find_id_name(list, pos->per, pos->ph));
}

namespace {

[[noreturn]] void out_of_memory() {
  std::fprintf(stderr, "Not enough memory for new ward position!\n");
  std::exit(1);
}

/// The entry for `holder` in `last`, made (null) when missing.
WardPos*& last_of(std::unordered_map<WardMember*, WardPos*>& last, WardMember* holder) {
  try {
    return last[holder];
  } catch (const std::bad_alloc&) {
    out_of_memory();
  }
}

}  // namespace

void merge_121(WardFamily* list, WardOrg* org) { merge_121(list, org, MemberIndex(list)); }

void merge_121(WardFamily* list, WardOrg* org, const MemberIndex& members) {
  // Holders are found as find_member_mis121 finds them: the record number
  // by name and phone, then the first member of the list with that number.
  // The numbers wanted are few beside the members, so one walk of the list
  // finds the first member of each.
  struct Wanted {
    WardPos* pos;
    std::string_view recno;
  };
  std::vector<Wanted> wanted;
  std::unordered_map<std::string_view, WardMember*> first;
  for (WardOrg* o = org; o != nullptr; o = o->next) {
    for (WardPos* pos = o->pos; pos != nullptr; pos = pos->next) {
      if (!pos->per) continue;
      Text recno = members.find_id_name(pos->per, pos->ph);
      if (!recno) continue;
      wanted.push_back({pos, recno.view()});
      first.emplace(recno.view(), nullptr);
    }
  }
  size_t found = 0;
  for (WardFamily* fam = list; fam != nullptr && found < first.size(); fam = fam->next) {
    for (WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      if (!mem->recno) continue;
      auto it = first.find(mem->recno.view());
      if (it != first.end() && it->second == nullptr) {
        it->second = mem;
        ++found;
      }
    }
  }

  // The last position of each holder met so far, so that appending never
  // walks a holder's chain more than once per merge.
  std::unordered_map<WardMember*, WardPos*> last;
  for (const Wanted& w : wanted) {
    WardMember* holder = first[w.recno];
    if (holder == nullptr) continue;
    copy_into(w.pos->recno, holder->recno);
    WardPos* copy = clone_ward_pos(w.pos);
    if (copy == nullptr) out_of_memory();
    append_remembered(holder->pos, last_of(last, holder), copy);
  }
}

namespace {

/// The unit name of a stake page header's second line: from column 12 up to
/// the first two white-space characters in a row, or to the line end.
std::string_view stake_unit_name(std::string_view line) {
  std::string_view name = extract_field(line, kStakeTitleCol, line.size());
  auto two_blanks = [](char a, char b) { return is_blank(a) && is_blank(b); };
  auto stop = std::ranges::adjacent_find(name, two_blanks);
  return name.substr(0, static_cast<size_t>(stop - name.begin()));
}

/// The first unit of UnitNames named exactly `name`; null when none is.
UnitName* find_unit(std::string_view name) {
  if (UnitNames == nullptr) return nullptr;
  for (int i = 0; i < UnitNames->nitems; ++i) {
    auto* u = static_cast<UnitName*>(UnitNames->item[static_cast<size_t>(i)]);
    if (u != nullptr && u->name == name) return u;
  }
  return nullptr;
}

/// The position title of a stake position line: columns 12-36, less the
/// blanks and underscores that pad it when column 36 is blank.
std::string_view stake_title(std::string_view line) {
  if (line.size() < 37) return extract_field(line, kStakeTitleCol, line.size());
  if (!is_blank(line[36])) return line.substr(12, 25);
  std::string_view title = line.substr(12, 24);
  while (!title.empty() && (is_blank(title.back()) || title.back() == '_')) title.remove_suffix(1);
  return title;
}

/// The position of one stake position line (trailing white space removed).
WardPos* stake_pos(WardOrg* org, std::string_view line) {
  WardPos* pos = create_ward_pos(org);
  if (pos == nullptr) return nullptr;
  const size_t len = line.size();
  try {
    pos->pos = Text(stake_title(line));
    std::string_view per = rtrim_field(line, 37, 68);
    if (!per.empty()) pos->per = Text(per);
    if (len > 68 && line[68] != ' ') {
      std::string_view sus = extract_field(line, 68, 74);
      while (!sus.empty() && (is_blank(sus.back()) || sus.back() == '(')) sus.remove_suffix(1);
      if (!sus.empty()) pos->sus = Text(sus);
    }
    if (len > 74) {
      std::string ph(line.substr(74));
      if (ph.size() > 3 && ph[3] == ')') ph[3] = '-';
      pos->ph = Text(ph);
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return pos;
}

/// Where the stake reader stands: the current unit and organisation, and the
/// ends of the chains it appends to.
class StakeCursor {
 public:
  UnitName* unit() const { return unit_; }
  WardOrg* org() const { return org_; }

  /// Makes `u` (possibly null) the current unit. The organisation goes on
  /// only while the unit stays the same.
  void set_unit(UnitName* u) {
    if (u == unit_) return;
    unit_ = u;
    org_ = nullptr;
    last_pos_ = nullptr;
  }

  /// Appends `org` to the current unit's organisations and makes it current.
  void add_org(WardOrg* org) {
    append_remembered(unit_->orgs, last_org_[unit_], org);
    org_ = org;
    last_pos_ = nullptr;
  }

  /// Appends `pos` to the current organisation's positions.
  void add_pos(WardPos* pos) { append_remembered(org_->pos, last_pos_, pos); }

 private:
  UnitName* unit_ = nullptr;
  WardOrg* org_ = nullptr;
  WardPos* last_pos_ = nullptr;
  std::unordered_map<UnitName*, WardOrg*> last_org_;
};

}  // namespace

void read_smis121(FILE* fp) {
  StakeCursor at;
  std::string line;
  while (read_line(line, fp) == 0) {
    std::string_view view(line);
    if (begins_page(view, kStakeTitle, true, kStakeTitleCol)) {
      if (read_line(line, fp) != 0) break;
      std::string_view name = stake_unit_name(line);
      UnitName* u = at.unit() != nullptr && at.unit()->name == name ? at.unit() : find_unit(name);
      if (u == nullptr) {
        std::fprintf(stderr, "Can't find unit (%.*s) in wardunits.txt\n",
                     static_cast<int>(name.size()), name.data());
      }
      at.set_unit(u);
      if (!skip_lines(line, fp, kStakeHeaderLines)) break;
      continue;
    }

    view = rtrim_view(view);
    if (is_page_footer(view) || view.size() < 3) continue;

    if (view.size() > kStakeTitleCol && view[kStakeTitleCol] == ' ') {
      std::string_view heading = trim_view(view);
      if (heading.empty() || heading == kFooter || at.unit() == nullptr) continue;
      WardOrg* org = create_ward_org();
      try {
        if (org != nullptr) {
          org->org = Text(heading);
          at.add_org(org);
        }
      } catch (const std::bad_alloc&) {
        org = nullptr;
      }
      if (org == nullptr) {
        report_no_org();
        return;
      }
      continue;
    }
    if (view.size() > kStakeTitleCol && view[kStakeTitleCol] == '-') continue;

    if (at.org() == nullptr) continue;
    WardPos* pos = stake_pos(at.org(), view);
    if (pos == nullptr) {
      report_no_pos();
      return;
    }
    at.add_pos(pos);
  }
}
