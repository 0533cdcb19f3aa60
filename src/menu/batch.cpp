#include "menu/batch.h"

#include <cstdio>
#include <optional>
#include <string>

#include "menu/handoff.h"
#include "menu/documents.h"
#include "menu/loopstate.h"
#include "menu/settings.h"
#include "model/arena.h"
#include "model/console.h"
#include "model/infile.h"
#include "model/listing.h"
#include "model/writequeue.h"
#include "readers/mis121.h"
#include "readers/mis1313.h"
#include "readers/mis231.h"
#include "readers/mis232.h"
#include "readers/mis239.h"
#include "writers/htdist.h"
#include "writers/wardcsv.h"
#include "writers/wardht.h"
#include "writers/wardlists.h"
#include "writers/wardpalm.h"
#include "writers/wardpos.h"

namespace {

/// Queues the document of menu option `option` under its default name, as
/// the batch writes it: its batch title line, the body, and for a handheld
/// document the trailer "<*>\n" and, once it is in place, the converter.
void write_doc(WriteQueue& queue, int option, BodyWriter body) {
  const Document& doc = document(option);
  const char* title = doc.batch_title != nullptr ? doc.batch_title : doc.title;
  std::function<void()> then;
  if (doc.list_title != nullptr) {
    then = [&doc] { run_converter(doc.base, doc.list_title); };
  }
  queue.add({{doc.file(doc.base),
              [title, handheld = doc.list_title != nullptr, body = std::move(body)](FILE* fp) {
                if (title != nullptr) std::fprintf(fp, title, unit.c_str(), datestr.c_str());
                body(fp);
                if (handheld) std::fprintf(fp, "<*>\n");
              },
              doc.batch_failure, doc.failure_stream()}},
            std::move(then));
}

void process_mis121_csv(const WardOrg* org, WriteQueue& q) {
  create_mis121_csv(org, q);
  write_doc(q, 110, [org](FILE* fp) { create_palm_pos(org, fp); });
}

void process_mis231_csv(const WardFamily* ward, WriteQueue& q) {
  create_mis231_csv(ward, q);
  write_doc(q, 220, [ward](FILE* fp) { create_palm_phone(ward, fp, 220); });
  write_doc(q, 210, [ward](FILE* fp) { create_palm_full(ward, fp, 0); });
  write_doc(q, 212, [ward](FILE* fp) { create_palm_full(ward, fp, 1); });
  write_doc(q, 230, [ward](FILE* fp) { create_palm_zip(ward, fp); });
  write_doc(q, 290, [ward](FILE* fp) { list_fam_errs(ward, fp); });
}

/// The three documents of a teaching list: options `base`, `base` + 2 and
/// `base` + 10 (310/312/320 for home teaching, 410/412/420 for visiting).
void process_teaching(WardFamily* list, int base, WriteQueue& q) {
  write_doc(q, base, [list, base](FILE* fp) { create_palm_ht(list, fp, base); });
  write_doc(q, base + 2, [list, base](FILE* fp) { create_htdist_report(list, fp, base + 2); });
  write_doc(q, base + 10, [list, base](FILE* fp) { create_htlist_report(list, fp, base + 10); });
}

void process_mis1313_csv(WardFamily* ht, WriteQueue& q) { process_teaching(ht, 310, q); }

void process_mis1413_csv(WardFamily* vt, WriteQueue& q) { process_teaching(vt, 410, q); }

/// True when the report `in` is open; else prints `failure` on `stream`.
bool opened(const InputFile& in, const char* failure, FILE* stream) {
  if (!in) std::fprintf(stream, "%s", failure);
  return static_cast<bool>(in);
}

/// Reads the report `name` with `read` into `*list`, in `arena`. Returns
/// false, after `failure` on `stream`, when it cannot be opened.
template <class List>
bool read_report(const char* name, List* (*read)(FILE*), Arena& arena, List** list,
                 const char* failure, FILE* stream) {
  *list = nullptr;
  InputFile in(name);
  if (!opened(in, failure, stream)) return false;
  arena.expect(in.size());
  ArenaScope scope(arena);
  *list = read(in.get());
  return true;
}

/// Reads the reports into `l`, merging each into the ward list when there
/// is one.
void read_inputs(LoopState& l) {
  InputFile directory("mis231.txt");
  if (opened(directory, "Can't open MIS231.TXT\n", stdout)) {
    {
      l.ward_arena->expect(directory.size());
      ArenaScope scope(*l.ward_arena);
      l.ward = read_mis231(directory.get());
    }
    // The family listing and the record numbers serve only their merge:
    // each list goes once it is merged.
    Arena report;
    ArenaScope in_ward(*l.ward_arena);
    WardFamily* listed;
    if (read_report("mis232.txt", read_mis232, report, &listed, "Can't open mis232.txt\n",
                    stderr)) {
      merge_232(l.ward, listed);
    }
    report.reset();
    WardMember* records;
    if (read_report("mis239.txt", read_mis239, report, &records, "Can't open MIS239.TXT\n",
                    stderr)) {
      merge_239(l.ward, records);
    }
  }

  ArenaScope in_ward(*l.ward_arena);
  read_report("mis1313.txt", read_mis1313, *l.ht_arena, &l.HTList, "Can't open MIS1313.TXT\n",
              stdout);
  // The names and phones of the ward list are settled now:
  // one index of them serves the three merges that follow.
  std::optional<MemberIndex> members;
  std::optional<TeachingFamilyIndex> families;
  if (l.ward != nullptr) {
    members.emplace(l.ward);
    families.emplace(l.ward);
  }
  if (l.HTList != nullptr && l.ward != nullptr) merge_1313(l.ward, l.HTList, *families, *members);

  read_report("mis1413.txt", read_mis1313, *l.vt_arena, &l.VTList,
              "Can't open MIS1413.TXT for input!\n", stdout);
  if (l.VTList != nullptr && l.ward != nullptr) merge_1313(l.ward, l.VTList, *families, *members);
  families.reset();

  read_report("mis121.txt", read_mis121, *l.org_arena, &l.org, "Can't open MIS121 file!\n",
              stdout);
  if (l.org != nullptr && l.ward != nullptr) {
    // The copies hang on the members and live with the organisations, which
    // the ward list keeps.
    ArenaScope scope(*l.org_arena);
    merge_121(l.ward, l.org, *members);
    l.ward_arena->keep(l.org_arena);
  }
}

}  // namespace

bool create_ward_csv() {
  LoopState l;
  read_inputs(l);
  // Every list is settled: the files are filled side by side and show as
  // if written one after another, in the order of the batch.
  WriteQueue q;
  if (l.org != nullptr) process_mis121_csv(l.org, q);
  if (l.ward != nullptr) process_mis231_csv(l.ward, q);
  if (l.HTList != nullptr) process_mis1313_csv(l.HTList, q);
  if (l.VTList != nullptr) process_mis1413_csv(l.VTList, q);
  if (l.HTList != nullptr || l.VTList != nullptr) create_htvt_csv(l.HTList, l.VTList, q);
  return q.finish();
}

void run_batch() {
  bool ok = create_ward_csv();
  end_program(ok ? 0 : 1);
}
