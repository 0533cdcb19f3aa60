// Fuzz target: any bytes as a report printout. The first byte picks the
// reader; the rest is the file. Whatever the readers build is merged into a
// directory and written out by every ward list writer.

#include <cstdint>
#include <cstdio>
#include <string>

#include "model/arena.h"
#include "model/listing.h"
#include "readers/mis231.h"
#include "readers/mis232.h"
#include "readers/mis239.h"
#include "readers/mis121.h"
#include "readers/mis1313.h"
#include "writers/htdist.h"
#include "writers/wardht.h"
#include "writers/wardlists.h"
#include "writers/wardpalm.h"
#include "writers/stakedoc.h"
#include "writers/wardpos.h"
#include "writers/wardsave.h"

namespace {

FILE* open_bytes(const uint8_t* data, size_t size) {
  // fmemopen refuses a zero size buffer; an empty file is one empty read.
  static char empty;
  return size == 0 ? fmemopen(&empty, 1, "r") : fmemopen(const_cast<uint8_t*>(data), size, "r");
}

/// Reads the bytes as a stake report for two units (one named by an empty
/// unit line) and lists what they got.
void stake_positions(FILE* in, FILE* out) {
  static UnitName units[2];
  units[0] = UnitName{"", "e", "Empty", nullptr};
  units[1] = UnitName{"A", "a", "A", nullptr};
  if (UnitNames == nullptr) {
    UnitNames = create_ptr_prodlist(2);
    add_ptr_prodlist(UnitNames, &units[0]);
    add_ptr_prodlist(UnitNames, &units[1]);
  }
  read_smis121(in);
  ProdPtrList* buckets = create_alpha_buckets();
  for (UnitName& u : units) {
    create_palm_pos(u.orgs, out);
    for (WardOrg* org = u.orgs; org != nullptr; org = org->next) {
      for (WardPos* p = org->pos; p != nullptr; p = p->next) insert_alpha(buckets, &u, org, p);
    }
  }
  sort_alpha_buckets(buckets);
  free_ptr_prodlist(buckets);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  uint8_t which = data[0] % 5;
  FILE* in = open_bytes(data + 1, size - 1);
  if (in == nullptr) return 0;
  static FILE* out = std::fopen("/dev/null", "w");

  WardFamily* ward = nullptr;
  if (which == 0) {
    ward = read_mis231(in);
  } else {
    // Merge into a directory built from the same bytes.
    FILE* again = open_bytes(data + 1, size - 1);
    ward = read_mis231(again);
    std::fclose(again);
    if (which == 1) {
      merge_232(ward, read_mis232(in));
    } else if (which == 2) {
      merge_239(ward, read_mis239(in));
    } else if (which == 3) {
      WardOrg* org = read_mis121(in);
      merge_121(ward, org);
      create_palm_pos(org, out);
    } else {
      stake_positions(in, out);
    }
  }
  std::fclose(in);

  create_palm_phone(ward, out, 220);
  create_palm_phone(ward, out, 225);
  create_palm_full(ward, out, 0);
  create_palm_full(ward, out, 1);
  create_palm_phonebook(ward, out);
  create_palm_addr(ward, out);
  create_palm_zip(ward, out);
  create_palm_sap(ward, out);
  create_palm_nonm(ward, out);
  save_ward(ward, out);
  list_fam_errs(ward, out);
  for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next) list_family(fam, out);

  // Every input is also read as a teaching report and merged.
  FILE* teaching_in = open_bytes(data + 1, size - 1);
  if (teaching_in != nullptr) {
    WardFamily* teaching = read_mis1313(teaching_in);
    std::fclose(teaching_in);
    merge_1313(ward, teaching);
    for (int opt : {310, 410}) create_palm_ht(teaching, out, opt);
    for (int opt : {320, 420}) create_htlist_report(teaching, out, opt);
    for (int opt : {312, 412}) create_htdist_report(teaching, out, opt);
    create_palm_full(ward, out, 1);
  }

  Arena::global().reset();
  return 0;
}
