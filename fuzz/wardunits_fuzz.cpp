// Fuzz target: a unit names file (wardunits.txt), optionally followed by a
// separator byte and a stake report read with it. Every unit must have its
// three texts; the stake documents are then written under the units'
// abbreviations.

#include "fuzz/harness.h"
#include "lists/unitnames.h"
#include "readers/mis121.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  auto parts = fuzz::split_parts(data, size, 2);
  fuzz::load_units(&parts[0]);

  fuzz::expect(UnitNames != nullptr && UnitNames->nitems <= UnitNames->maxitems &&
                   static_cast<size_t>(UnitNames->maxitems) == UnitNames->item.size(),
               "unit list out of shape");
  for (int i = 0; i < UnitNames->nitems; ++i) {
    const auto* u = static_cast<const UnitName*>(UnitNames->item[static_cast<size_t>(i)]);
    fuzz::expect(u != nullptr && u->name && u->abbr && u->display && u->orgs == nullptr,
                 "unit entry incomplete");
  }

  if (const std::string_view* report = fuzz::part(parts, 1)) {
    FILE* in = fuzz::open_bytes(*report);
    if (in == nullptr) return 0;
    read_smis121(in);
    std::fclose(in);
  }
  fuzz::write_stake();
  return 0;
}
