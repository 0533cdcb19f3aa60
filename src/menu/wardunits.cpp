#include "menu/wardunits.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string_view>
#include <vector>

#include "model/arena.h"
#include "model/infile.h"
#include "model/splitfld.h"

namespace {
/// Initial capacity of the unit list; it doubles when full.
constexpr int kUnitSlots = 16;
}  // namespace

void read_ward_units() { read_ward_units_from("wardunits.txt"); }

void read_ward_units_from(const char* path) {
  free_ptr_prodlist(UnitNames);  // entries belong to the arena
  // Callers walk the list without a null test: a missing file leaves an
  // empty one.
  UnitNames = create_ptr_prodlist(kUnitSlots);

  // A folder of that name opens, and would read as an empty file.
  InputFile in(path);
  if (!in) {
    std::fprintf(stderr, "Couldn't open wardunits.txt file\n");
    return;
  }
  if (UnitNames == nullptr) {
    std::fprintf(stderr, "Unable to create list for Ward Units\n");
    std::exit(1);
  }

  std::string line;
  std::vector<std::string_view> flds;
  while (read_line(line, in.get()) == 0) {
    if (!line.empty() && line[0] == '#') continue;
    if (split_flds(line, flds, '|', false, 4) < 3) continue;

    if (UnitNames->nitems == UnitNames->maxitems &&
        resize_ptr_prodlist(UnitNames, 2 * UnitNames->nitems) == nullptr) {
      std::fprintf(stderr, "Can't resize unit names list beyond size %d\n", UnitNames->nitems);
      std::exit(2);
    }

    UnitName* entry = Arena::global().make<UnitName>();
    if (entry != nullptr) {
      try {
        *entry = {.name = flds[0], .abbr = flds[1], .display = flds[2]};
      } catch (const std::bad_alloc&) {
        entry = nullptr;
      }
    }
    if (entry == nullptr) {
      std::fprintf(stderr, "Can't create UnitName structure for list\n");
      std::exit(3);
    }
    UnitNames->item[UnitNames->nitems++] = entry;
  }
}
