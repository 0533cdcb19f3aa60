// Fuzz target: an organisation table (wardorgs.txt), optionally followed by
// a separator byte and a ward positions report read with it. Every entry
// must be found by its number and, through its heading, must lead to an
// entry of the same heading; the positions writers then name their web
// files from the table.

#include "fuzz/harness.h"
#include "readers/mis121.h"
#include "readers/wardorgs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  auto parts = fuzz::split_parts(data, size, 2);
  fuzz::load_orgs(&parts[0]);

  int count = wardorgs_count();
  fuzz::expect(count >= 0, "table that opened counted as missing");
  for (int k = 0; k < count; ++k) {
    const WardOrgs* ent = wardorgs_get_entry_num(k);
    fuzz::expect(ent != nullptr && ent->hdr && ent->name && ent->abbr, "entry missing by number");
    const WardOrgs* found = wardorgs_find_hdr(ent->hdr.view());
    fuzz::expect(found != nullptr && found->hdr == ent->hdr, "entry not found by its heading");
    fuzz::expect(wardorgs_abbr_for_hdr(ent->hdr.view()) == found->abbr &&
                     wardorgs_name_for_hdr(ent->hdr.view()) == found->name,
                 "abbreviation or name lookup differs");
    wardorg_print(ent);
  }
  fuzz::expect(wardorgs_get_entry_num(count) == nullptr && wardorgs_get_entry_num(-1) == nullptr,
               "entry found outside the count");

  if (const std::string_view* report = fuzz::part(parts, 1)) {
    fuzz::write_positions(fuzz::read_bytes(*report, read_mis121));
  }
  return 0;
}
