// Fuzz target: a teaching report (MIS 1313 or 1413), optionally followed by
// a separator byte and a directory printout to merge it into. The indexes
// the merge uses must find what walks of the ward list find; the ward list
// must stay whole once the teaching list is gone, and the teaching list once
// the menu has dropped the ward list it keeps alive. CRLF line ends must read the same, and
// the district report must place families as the walk of its chain does.

#include <memory>

#include "fuzz/harness.h"
#include "model/lookup.h"
#include "readers/mis1313.h"
#include "writers/htdist.h"

namespace {

/// The indexed lookups agree with the walks for every name the entry gives.
void check_lookups(WardFamily* ward, const WardFamily* entry, const TeachingFamilyIndex& families,
                   const MemberIndex& members) {
  fuzz::expect(families.find(entry) == find_family_mis1313(ward, entry),
               "family index and walk disagree");
  const Text* names[][2] = {{&entry->htname, &entry->htphone},
                            {&entry->htcomp, &entry->htcomph},
                            {&entry->vtname, &entry->vtphone},
                            {&entry->vtcomp, &entry->vtcomph}};
  for (auto& [name, phone] : names) {
    fuzz::expect(members.find_id_name(*name, *phone) == find_id_name(ward, *name, *phone),
                 "member index and walk disagree");
  }
}

/// The district report built by placing each family in turn with the walk
/// of insert_htdist must be the one create_htdist_report builds with its
/// index. The walk is quadratic: only short lists are compared.
void check_districts(WardFamily* list) {
  size_t n = 0;
  for (const WardFamily* f = list; f != nullptr; f = f->next) ++n;
  if (n > 300) return;
  for (int opt : {kHomeDistricts, kVisitingDistricts}) {
    fuzz::MemOut indexed;
    create_htdist_report(list, indexed.get(), opt);
    Arena walk_arena;
    ArenaScope scope(walk_arena);
    HTDist* head = create_htdist(nullptr, opt);
    for (WardFamily* f = list; f != nullptr; f = f->next) {
      if (HTDist* node = create_htdist(f, opt)) insert_htdist(head, node, opt);
    }
    total_htdist(head);
    fuzz::MemOut walked;
    report_htdist(head, walked.get(), opt);
    fuzz::expect(indexed.text() == walked.text(), "district report differs from the walk's");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Run run;
  auto parts = fuzz::split_parts(data, size, 2);
  auto ward_arena = std::make_shared<Arena>();
  WardFamily* ward;
  {
    ArenaScope scope(*ward_arena);
    ward = fuzz::read_directory(fuzz::part(parts, 1));
  }

  auto teaching_arena = std::make_unique<Arena>();
  WardFamily* teaching = fuzz::read_bytes(parts[0], read_mis1313, teaching_arena.get());
  if (auto crlf = fuzz::with_crlf(parts[0])) {
    // The same report with CRLF line ends reads the same.
    Arena crlf_arena;
    WardFamily* same = fuzz::read_bytes(*crlf, read_mis1313, &crlf_arena);
    fuzz::expect(fuzz::write_teaching(same) == fuzz::write_teaching(teaching),
                 "CRLF line ends read differently");
  }
  for (const WardFamily* e = teaching; e != nullptr; e = e->next) {
    fuzz::expect(e->members == nullptr, "teaching entry with members");
    fuzz::expect(e->htpct >= 0 && e->htpct <= 100 && e->vtpct >= 0 && e->vtpct <= 100,
                 "visit percentage out of range");
    fuzz::expect(!e->htvisits || e->htvisits.size() == 12, "visits string not 12 marks");
    fuzz::expect(!e->vtvisits || e->vtvisits.size() == 12, "visits string not 12 marks");
  }

  if (ward != nullptr) {
    ArenaScope scope(*ward_arena);
    {
      TeachingFamilyIndex families(ward);
      MemberIndex members(ward);
      for (const WardFamily* e = teaching; e != nullptr; e = e->next) {
        check_lookups(ward, e, families, members);
      }
    }
    merge_1313(ward, teaching);
    teaching_arena->keep(ward_arena);
    for (const WardFamily* e = teaching; e != nullptr; e = e->next) {
      const WardFamily* fam = find_family_mis1313(ward, e);
      if (fam != nullptr && fam->recno) {
        fuzz::expect(e->recno == fam->recno, "entry lacks its family's record number");
      }
    }
    // The teaching list goes; the ward list took copies of what it needs.
    {
      Arena copy_arena;
      WardFamily* again = fuzz::read_bytes(parts[0], read_mis1313, &copy_arena);
      merge_1313(ward, again);
    }
    fuzz::write_ward(ward);
  }
  // The menu drops the ward list; the teaching list keeps what it shares.
  ward_arena.reset();
  fuzz::write_teaching(teaching);
  check_districts(teaching);
  teaching_arena.reset();
  return 0;
}
