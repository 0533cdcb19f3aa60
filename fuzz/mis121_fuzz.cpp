// Fuzz target: a ward positions report (MIS 121), optionally followed by a
// separator byte and a directory printout to merge it into, and by another
// separator and the organisation table it is read with. Positions must go
// to the holders that walks of the ward list find, each once per merge, and
// every position writer (handheld list, CSV, both web-page variants) runs
// on the result.

#include <memory>
#include <unordered_map>

#include "fuzz/harness.h"
#include "readers/mis121.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  auto parts = fuzz::split_parts(data, size, 3);
  fuzz::load_orgs(fuzz::part(parts, 2));
  WardFamily* ward = fuzz::read_directory(fuzz::part(parts, 1));

  auto org_arena = std::make_shared<Arena>();
  WardOrg* org = fuzz::read_bytes(parts[0], read_mis121, org_arena.get());
  for (const WardOrg* o = org; o != nullptr; o = o->next) {
    fuzz::expect(o->org && o->abbr, "organisation without name or abbreviation");
    for (const WardPos* p = o->pos; p != nullptr; p = p->next) {
      fuzz::expect(p->org == o, "position filed under another organisation");
      fuzz::expect(p->pos && !p->recno, "position without title, or with a record number");
      fuzz::expect(!p->sus || p->per, "sustained date of a vacant position");
    }
  }

  if (ward != nullptr) {
    {
      // The copies go with the organisations, which the ward list keeps.
      ArenaScope scope(*org_arena);
      merge_121(ward, org);
    }
    run.arena().keep(org_arena);
    // Positions per holder, as walks of the ward list find the holders.
    std::unordered_map<const WardMember*, size_t> held;
    for (const WardOrg* o = org; o != nullptr; o = o->next) {
      for (const WardPos* p = o->pos; p != nullptr; p = p->next) {
        const WardMember* holder = find_member_mis121(ward, p);
        fuzz::expect(holder != nullptr ? p->recno == holder->recno : !p->recno,
                     "position merged onto another member than its holder");
        if (holder != nullptr) ++held[holder];
      }
    }
    for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next) {
      for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
        size_t attached = 0;
        for (const WardPos* p = mem->pos; p != nullptr; p = p->next) {
          fuzz::expect(p->per && !p->recno, "attached copy is not a copy");
          ++attached;
        }
        auto it = held.find(mem);
        fuzz::expect(attached == (it != held.end() ? it->second : 0),
                     "a member holds other positions than the walk finds");
      }
    }
  }
  fuzz::write_positions(org);
  // The organisation list may go (the menu replaces it); the ward list's
  // copies keep what they point at.
  org_arena.reset();
  fuzz::write_ward(ward);
  return 0;
}
