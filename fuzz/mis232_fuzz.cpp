// Fuzz target: a family listing (MIS 232), optionally followed by a
// separator byte and a directory printout to merge it into. Each ward
// family must get exactly the code of the listing entry that a walk of the
// listing finds for it, and must keep it once the listing is gone.

#include <memory>

#include "fuzz/harness.h"
#include "readers/mis232.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  auto parts = fuzz::split_parts(data, size, 2);
  WardFamily* ward = fuzz::read_directory(fuzz::part(parts, 1));
  {
    Arena listing_arena;
    WardFamily* listing = fuzz::read_bytes(parts[0], read_mis232, &listing_arena);
    merge_232(ward, listing);
    for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next) {
      if (fam->sname) {
        fuzz::expect(!fam->acode, "cross reference got a code");
        continue;
      }
      const WardFamily* entry = find_family_mis232(listing, fam);
      fuzz::expect(entry != nullptr ? fam->acode == entry->acode : !fam->acode,
                   "merged code is not the one of the listing entry");
    }
    // The listing goes with its arena here, as after the menu's merge.
  }
  fuzz::write_ward(ward);
  return 0;
}
