#include "tools/outputs.h"

namespace {

// By use, in the order the results page shows them, then as listed here.
constexpr KnownFile kKnownFiles[] = {
    {"wardbook.pdf", FileUse::kPaper, "Ward directory booklet",
     "the directory typeset to print and fold, two columns a page"},
    {"warddir.txt", FileUse::kPaper, "Phone directory", "one line a family, to print"},
    {"wardpbk.txt", FileUse::kPaper, "Phone book",
     "families with addresses and children, to print"},
    {"wardph.txt", FileUse::kHandheld, "Phone list", "names and phone numbers of every family"},
    {"wardfull.txt", FileUse::kHandheld, "Full ward list",
     "families, addresses, members and callings, for leaders"},
    {"wardpriv.txt", FileUse::kHandheld, "Private ward list",
     "the full list with record numbers, ages and visits: for the clerk and bishop only"},
    {"wardzip.txt", FileUse::kHandheld, "Zip-code list", "families by zip code"},
    {"wardaddr.txt", FileUse::kHandheld, "Address list", "addresses with everybody's birthday"},
    {"wardnonm.txt", FileUse::kHandheld, "Non-member spouses",
     "families with a spouse who is not a member"},
    {"wardsap.txt", FileUse::kHandheld, "Single adult parents",
     "single adult parents with children"},
    {"wardpos.txt", FileUse::kHandheld, "Positions list",
     "every calling and who holds it, vacant ones too"},
    {"wardht.txt", FileUse::kHandheld, "Home teaching by family",
     "each family's home teachers and visits, with a summary"},
    {"htdist.txt", FileUse::kHandheld, "Home teaching by district",
     "the families of each district, with its average"},
    {"htlist.txt", FileUse::kHandheld, "Home teaching, condensed", "teachers and their families"},
    {"wardvt.txt", FileUse::kHandheld, "Visiting teaching by sister",
     "each sister's visiting teachers and visits, with a summary"},
    {"vtdist.txt", FileUse::kHandheld, "Visiting teaching by district",
     "the sisters of each district, with its average"},
    {"vtlist.txt", FileUse::kHandheld, "Visiting teaching, condensed",
     "teachers and their sisters"},
    {"wardfam.csv", FileUse::kSpreadsheet, "Families", "one row a family"},
    {"wardmem.csv", FileUse::kSpreadsheet, "Members", "one row a member"},
    {"wardhtvt.csv", FileUse::kSpreadsheet, "Teaching assignments",
     "one row a home- or visiting-teaching assignment"},
    {"wardpos.csv", FileUse::kSpreadsheet, "Callings", "one row a calling"},
    {"changes.csv", FileUse::kSpreadsheet, "Changes", "one row a change since last month"},
    {"wardcontacts.vcf", FileUse::kPhone, "Contacts", "a card a family, to import into a phone"},
    {"wardbirthdays.ics", FileUse::kPhone, "Birthdays", "every member's birthday, for a calendar"},
    {"warderr.txt", FileUse::kCheck, "Error report", "what looked wrong in the directory"},
    {"changes.txt", FileUse::kCheck, "Changes since last month",
     "families and members moved in or out, new addresses, phones and names"},
    {"wardsave.txt", FileUse::kCheck, "Save file", "the whole ward list as key and value lines"},
    {"stakedoc/alpha.txt", FileUse::kStake, "Stake alphabetical list",
     "every position holder of the stake, A to Z"},
    {"stakedoc/*Pos.txt", FileUse::kStake, "Unit positions",
     "the positions of one unit of the stake"},
};

bool matches(std::string_view pattern, std::string_view name) {
  size_t star = pattern.find('*');
  if (star == std::string_view::npos) return pattern == name;
  std::string_view head = pattern.substr(0, star);
  std::string_view tail = pattern.substr(star + 1);
  if (name.size() <= head.size() + tail.size() || !name.starts_with(head) ||
      !name.ends_with(tail)) {
    return false;
  }
  // The '*' stands for a part of one name, never for a folder.
  return name.substr(head.size(), name.size() - head.size() - tail.size()).find('/') ==
         std::string_view::npos;
}

}  // namespace

const KnownFile* known_file(std::string_view name) {
  for (const KnownFile& f : kKnownFiles) {
    if (matches(f.file, name)) return &f;
  }
  return nullptr;
}

const char* use_heading(FileUse use) {
  switch (use) {
    case FileUse::kPaper: return "For paper";
    case FileUse::kHandheld: return "For handhelds and reading on a screen";
    case FileUse::kSpreadsheet: return "For spreadsheets";
    case FileUse::kPhone: return "For phones";
    case FileUse::kCheck: return "Checks";
    case FileUse::kStake: return "The stake's lists";
  }
  return "";
}
