// Fuzz target: a stake organisation report, optionally followed by a
// separator byte and the unit names file it is read with. The report is
// read and processed (spreadsheet, web-page input, handheld document), read
// a second time, and every stake document is written.

#include "fuzz/harness.h"
#include "lists/unitnames.h"
#include "readers/mis121.h"
#include "writers/stakeproc.h"

namespace {

/// Organisations and positions hung on the units, counted.
size_t positions_of_units() {
  size_t n = 0;
  for (int i = 0; i < UnitNames->nitems; ++i) {
    const auto* u = static_cast<const UnitName*>(UnitNames->item[static_cast<size_t>(i)]);
    for (const WardOrg* org = u->orgs; org != nullptr; org = org->next) {
      fuzz::expect(org->org && !org->abbr, "stake organisation named wrongly");
      ++n;
      for (const WardPos* p = org->pos; p != nullptr; p = p->next) {
        fuzz::expect(p->org == org && p->pos, "stake position filed wrongly");
        ++n;
      }
    }
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  auto parts = fuzz::split_parts(data, size, 2);
  fuzz::load_units(fuzz::part(parts, 1));

  fuzz::MemOut csv;
  fuzz::MemOut doc;
  FILE* in = fuzz::open_bytes(parts[0]);
  if (in == nullptr) return 0;
  read_and_process_smis121(in, csv.get(), fuzz::folder("web"), doc.get());
  std::fclose(in);
  size_t once = positions_of_units();

  // A second read appends every organisation again.
  in = fuzz::open_bytes(parts[0]);
  if (in == nullptr) return 0;
  read_smis121(in);
  std::fclose(in);
  fuzz::expect(positions_of_units() == 2 * once, "second read did not append the same again");
  fuzz::write_stake();
  return 0;
}
