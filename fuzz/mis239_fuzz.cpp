// Fuzz target: a record number list (MIS 239), optionally followed by a
// separator byte and a directory printout to merge it into. Each member must
// get exactly the dates of the entry that a walk of the list finds for its
// record number, and must keep them once the list is gone. CRLF line ends
// must read the same.

#include "fuzz/harness.h"
#include "readers/mis239.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  auto parts = fuzz::split_parts(data, size, 2);
  WardFamily* ward = fuzz::read_directory(fuzz::part(parts, 1));
  {
    Arena numbers_arena;
    WardMember* numbers = fuzz::read_bytes(parts[0], read_mis239, &numbers_arena);
    if (auto crlf = fuzz::with_crlf(parts[0])) {
      // The same list with CRLF line ends reads the same.
      Arena crlf_arena;
      const WardMember* m = numbers;
      for (const WardMember* c = fuzz::read_bytes(*crlf, read_mis239, &crlf_arena);
           c != nullptr || m != nullptr; c = c->next, m = m->next) {
        fuzz::expect(c != nullptr && m != nullptr && c->recno == m->recno && c->birth == m->birth &&
                         c->baptism == m->baptism && c->confirm == m->confirm &&
                         c->lpname == m->lpname && c->fpname == m->fpname,
                     "CRLF line ends read differently");
      }
    }
    for (const WardMember* m = numbers; m != nullptr; m = m->next) {
      fuzz::expect(m->recno && m->birth, "entry without record number or birth date");
      fuzz::expect(!m->baptism || !m->baptism.empty(), "empty baptism date kept");
      fuzz::expect(!m->confirm || !m->confirm.empty(), "empty confirmation date kept");
    }
    merge_239(ward, numbers);
    for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next) {
      for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
        const WardMember* entry = find_member_recno(numbers, mem->recno);
        if (entry == nullptr) {
          fuzz::expect(!mem->birth && !mem->baptism && !mem->confirm, "dates without an entry");
        } else {
          fuzz::expect(mem->birth == entry->birth && mem->baptism == entry->baptism &&
                           mem->confirm == entry->confirm,
                       "merged dates are not the entry's");
        }
      }
    }
  }
  fuzz::write_ward(ward);
  return 0;
}
