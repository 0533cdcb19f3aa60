#include "readers/wardorgs.h"

#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "model/arena.h"
#include "model/infile.h"
#include "model/splitfld.h"

namespace {

/// The table, last file line first.
WardOrgs* Orgs = nullptr;
/// Entry count of the last parse; -1 when its file could not be opened.
int num_orgs = 0;
/// The entries of the last parse in file order: entry number k is slot k.
std::vector<WardOrgs*> by_number;

/// A new entry with the fields of one table line; null when memory runs out.
WardOrgs* make_entry(std::string_view line) {
  std::vector<std::string_view> flds;
  int n = split_flds(line, flds, '|', false, 3);
  WardOrgs* ent = create_wardorg();
  if (ent == nullptr) return nullptr;
  try {
    ent->hdr = Text(n > 0 ? flds[0] : std::string_view());
    ent->name = Text(n > 1 ? flds[1] : std::string_view());
    ent->abbr = Text(n > 2 ? flds[2] : std::string_view());
  } catch (const std::bad_alloc&) {
    free_wardorg(ent);
    return nullptr;
  }
  return ent;
}

}  // namespace

int wardorgs_parse(const char* fname) {
  InputFile in(fname);
  if (!in) {
    std::fprintf(stderr, "Can't open wardorgs file (%s)\n", fname);
    num_orgs = -1;
    return -1;
  }
  by_number.clear();
  std::string line;
  while (read_line(line, in.get()) == 0) {
    if (!line.empty() && (line[0] == '#' || line[0] == '*')) continue;
    WardOrgs* ent = make_entry(line);
    if (ent == nullptr) break;
    try {
      by_number.push_back(ent);
    } catch (const std::bad_alloc&) {
      free_wardorg(ent);
      break;
    }
    ent->next = Orgs;
    Orgs = ent;
  }
  num_orgs = static_cast<int>(by_number.size());
  return num_orgs;
}

int wardorgs_read() { return wardorgs_parse("wardorgs.txt"); }

int read_ward_orgs() { return wardorgs_read(); }

int wardorgs_count() { return num_orgs; }

void wardorgs_clear() {
  Orgs = nullptr;
  num_orgs = 0;
  by_number.clear();
}

WardOrgs* create_wardorg() { return Arena::current().make<WardOrgs>(); }

void free_wardorg(WardOrgs* ent) { Arena::current().release(ent); }

WardOrgs* wardorgs_find_hdr(std::string_view hdr) {
  for (WardOrgs* ent = Orgs; ent != nullptr; ent = ent->next) {
    if (ent->hdr == hdr) return ent;
  }
  return nullptr;
}

const Text& wardorgs_get_abbr(const WardOrgs* ent) { return ent->abbr; }

const Text& wardorgs_get_name(const WardOrgs* ent) { return ent->name; }

Text wardorgs_abbr_for_hdr(std::string_view hdr) {
  const WardOrgs* ent = wardorgs_find_hdr(hdr);
  return ent != nullptr ? ent->abbr : Text();
}

Text wardorgs_name_for_hdr(std::string_view hdr) {
  const WardOrgs* ent = wardorgs_find_hdr(hdr);
  return ent != nullptr ? ent->name : Text();
}

void wardorg_print(const WardOrgs* ent) {
  std::fprintf(stdout, "\nHdr: %s\nAbbr: %s\nName: %s\n", str_or_empty(ent->hdr),
               str_or_empty(ent->abbr), str_or_empty(ent->name));
}

WardOrgs* wardorgs_get_entry_num(int num) {
  if (num < 0 || num >= num_orgs || static_cast<size_t>(num) >= by_number.size()) return nullptr;
  return by_number[static_cast<size_t>(num)];
}
