#include "menu/batch.h"

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>

#include "menu/documents.h"
#include "menu/handoff.h"
#include "menu/loopstate.h"
#include "model/arena.h"
#include "model/console.h"
#include "model/infile.h"
#include "model/writequeue.h"
#include "readers/mis121.h"
#include "readers/mis1313.h"
#include "readers/mis231.h"
#include "readers/mis232.h"
#include "readers/mis239.h"
#include "writers/wardcsv.h"

namespace {

/// Queues the document of menu option `option` under its default name, as
/// the batch writes it from `lists`: its batch title line, the body, and for
/// a handheld document the trailer "<*>\n" and, once it is in place, the
/// converter.
void write_doc(WriteQueue& queue, int option, const LoopState& lists) {
  const Document& doc = document(option);
  const char* title = doc.batch_title != nullptr ? doc.batch_title : doc.title;
  std::function<void()> then;
  if (doc.list_title != nullptr) {
    then = [&doc] { run_converter(doc.base, doc.list_title); };
  }
  queue.add({{doc.file(doc.base), [title, &doc, &lists](FILE* fp) { doc.write(lists, fp, title); },
              doc.batch_failure, doc.failure_on_stderr ? stderr : stdout}},
            std::move(then));
}

/// Reads the report `name` with `read` into `*list`, in `arena`. Returns
/// false, after `failure` on `stream`, when it cannot be opened.
template <class List>
bool read_report(const char* name, List* (*read)(FILE*), Arena& arena, List** list,
                 const char* failure, FILE* stream) {
  *list = nullptr;
  InputFile in(name);
  if (!in) {
    std::fprintf(stream, "%s", failure);
    return false;
  }
  arena.expect(in.size());
  ArenaScope scope(arena);
  *list = read(in.get());
  return true;
}

/// Reads the reports into `l`, merging each into the ward list when there
/// is one.
void read_inputs(LoopState& l) {
  if (read_report("mis231.txt", read_mis231, *l.ward_arena, &l.ward, "Can't open MIS231.TXT\n",
                  stdout)) {
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
  auto write_docs = [&](std::initializer_list<int> options) {
    for (int option : options) write_doc(q, option, l);
  };
  if (l.org != nullptr) {
    create_mis121_csv(l.org, q);
    write_docs({110});
  }
  if (l.ward != nullptr) {
    create_mis231_csv(l.ward, q);
    write_docs({220, 210, 212, 230, 290});
  }
  if (l.HTList != nullptr) write_docs({310, 312, 320});
  if (l.VTList != nullptr) write_docs({410, 412, 420});
  if (l.HTList != nullptr || l.VTList != nullptr) create_htvt_csv(l.HTList, l.VTList, q);
  return q.finish();
}

void run_batch() {
  bool ok = create_ward_csv();
  end_program(ok ? 0 : 1);
}
