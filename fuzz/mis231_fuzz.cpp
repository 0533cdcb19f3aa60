// Fuzz target: any bytes as a directory printout (MIS 231). The ward list
// read is checked against what the reader promises and written by every
// ward list writer; reading the same bytes again, or with CRLF line ends,
// must give the same lists.

#include <string>

#include "fuzz/harness.h"

namespace {

/// What every directory read promises: members named after their family,
/// a head first and spouses or children after it, a record number on every
/// member and on every family with members, and the family's first name
/// taken from its head or, for a bracketed head, from the spouse after it.
void check_ward(const WardFamily* ward) {
  for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next) {
    fuzz::expect(static_cast<bool>(fam->lname), "family without a last name");
    if (fam->members == nullptr) continue;
    fuzz::expect(static_cast<bool>(fam->recno), "family with members but no record number");
    const WardMember* head = fam->members;
    fuzz::expect(head->type == 1, "first member is not the head");
    const WardMember* second = head->next;
    fuzz::expect(fam->fname == head->fname || (second != nullptr && fam->fname == second->fname),
                 "family first name is neither the head's nor the spouse's");
    for (const WardMember* mem = head; mem != nullptr; mem = mem->next) {
      fuzz::expect(static_cast<bool>(mem->recno), "member without a record number");
      fuzz::expect(mem->lname == fam->lname, "member not named after the family");
      fuzz::expect(mem == head || mem->type == 2 || mem->type == 3, "later member is no spouse or child");
      fuzz::expect(mem->sex == 0 || mem->sex == 'M' || mem->sex == 'F' || mem->err != nullptr,
                   "invalid sex without a note");
    }
  }
}

/// Everything the ward list writers make of `bytes`.
std::string lists_of(std::string_view bytes) {
  Arena arena;
  ArenaScope scope(arena);
  WardFamily* ward = fuzz::read_directory(&bytes);
  check_ward(ward);
  return fuzz::write_ward(ward);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string first = lists_of(bytes);
  fuzz::expect(lists_of(bytes) == first, "a second read of the same printout differs");
  if (auto crlf = fuzz::with_crlf(bytes)) {
    fuzz::expect(lists_of(*crlf) == first, "CRLF line ends read differently");
  }
  return 0;
}
