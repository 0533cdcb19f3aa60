#include "menu/batch.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "menu/handoff.h"
#include "menu/readahead.h"
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

/// One handheld document of the batch, under its fixed name.
struct BatchDoc {
  const char* base;        ///< base name; the file is base + ".txt"
  const char* title_fmt;   ///< title line format (unit, date)
  const char* list_title;  ///< list title in the converter command
  const char* failure;     ///< message when the file cannot be opened, or null
  FILE* failure_stream;    ///< where that message goes
};

/// The lists the batch builds, each in an arena of its own.
struct BatchLists {
  std::shared_ptr<Arena> ward_arena = std::make_shared<Arena>();
  std::shared_ptr<Arena> ht_arena = std::make_shared<Arena>();
  std::shared_ptr<Arena> vt_arena = std::make_shared<Arena>();
  std::shared_ptr<Arena> org_arena = std::make_shared<Arena>();
  WardFamily* ward = nullptr;
  WardFamily* ht = nullptr;
  WardFamily* vt = nullptr;
  WardOrg* org = nullptr;
};

/// Queues one document: title line, body, trailer "<*>\n"; once it is in
/// place it goes to the converter. What `body` reads must not change while
/// the queue may fill the document.
void write_doc(WriteQueue& queue, const BatchDoc& doc, BodyWriter body) {
  queue.add({{std::string(doc.base) + ".txt",
              [title_fmt = doc.title_fmt, body = std::move(body)](FILE* fp) {
                std::fprintf(fp, title_fmt, unit.c_str(), datestr.c_str());
                body(fp);
                std::fprintf(fp, "<*>\n");
              },
              doc.failure, doc.failure_stream}},
            [base = doc.base, title = doc.list_title] { run_converter(base, title); });
}

void process_mis121_csv(const WardOrg* org, WriteQueue& q) {
  create_mis121_csv(org, q);
  write_doc(q, {"wardpos", "**%s Ward Positions %s\n", "Positions", nullptr, stdout},
            [org](FILE* fp) { create_palm_pos(org, fp); });
}

void process_mis231_csv(const WardFamily* ward, WriteQueue& q) {
  create_mis231_csv(ward, q);
  write_doc(q, {"wardph", "*%s Phone List %s\n", "Phone List", "Can't write to WARDPH.TXT\n",
                stdout},
            [ward](FILE* fp) { create_palm_phone(ward, fp, 220); });
  write_doc(q, {"wardfull", "*%s Full List %s\n", "Full List", "Can't write to WARDFULL.TXT\n",
                stdout},
            [ward](FILE* fp) { create_palm_full(ward, fp, 0); });
  write_doc(q, {"wardpriv", "*%s Private List %s\n", "Private List",
                "Can't write to WARDPRIV.TXT\n", stdout},
            [ward](FILE* fp) { create_palm_full(ward, fp, 1); });
  write_doc(q, {"wardzip", "**%s Zipcode List %s\n", "Zipcode List",
                "Can't write to WARDZIP.TXT\n", stdout},
            [ward](FILE* fp) { create_palm_zip(ward, fp); });
  q.add({{"warderr.txt", [ward](FILE* fp) { list_fam_errs(ward, fp); },
          "Can't write to WARDERR.TXT\n", stdout}});
}

/// The three teaching documents of one report: 310/312/320 for home
/// teaching, 410/412/420 for visiting teaching.
void process_teaching(WardFamily* list, bool home, WriteQueue& q) {
  int base = home ? 310 : 410;
  if (home) {
    write_doc(q, {"wardht", "**%s Family Home Teaching %s\n", "Family Home Teaching",
                  "Can't open wardht.txt for output!\n", stderr},
              [list, base](FILE* fp) { create_palm_ht(list, fp, base); });
    write_doc(q, {"htdist", "**%s Home Teaching Districts %s\n", "Home Teaching Districts",
                  "Can't open htdist.txt for output!\n", stderr},
              [list, base](FILE* fp) { create_htdist_report(list, fp, base + 2); });
    write_doc(q, {"htlist", "**%s Condensed Home Teaching %s\n", "Condensed Home Teaching List",
                  "Can't open htlist.txt for output!\n", stderr},
              [list, base](FILE* fp) { create_htlist_report(list, fp, base + 10); });
  } else {
    write_doc(q, {"wardvt", "**%s Visiting Teaching by Sisters %s\n",
                  "Visiting Teaching by Sisters", "Can't open wardvt.txt for output!\n", stderr},
              [list, base](FILE* fp) { create_palm_ht(list, fp, base); });
    write_doc(q, {"vtdist", "**%s Visiting Teaching Districts %s\n",
                  "Visiting Teaching Districts", "Can't open vtdist.txt for output!\n", stderr},
              [list, base](FILE* fp) { create_htdist_report(list, fp, base + 2); });
    write_doc(q, {"vtlist", "**%s Condensed Visiting Teaching List %s\n",
                  "Condensed Visiting Teaching List", "Can't open vtlist.txt for output!\n",
                  stderr},
              [list, base](FILE* fp) { create_htlist_report(list, fp, base + 10); });
  }
}

/// Reads the reports into `l`, merging each into the ward list, and queues
/// each group of outputs on `q` once its list is settled. The caller has
/// paused `q`, so that nothing of it shows before the last merge is done.
void read_inputs(BatchLists& l, WriteQueue& q) {
  // Each report after the directory is read on a thread of its own while the
  // program works on the one before it; what a reader prints shows when its
  // report is taken up, as if it were read there. The family listing and
  // record numbers serve only their merge: each list goes once it is merged.
  InputFile directory("mis231.txt");
  Arena listing;
  ReadAhead<WardFamily> m232;
  if (directory) m232.start("mis232.txt", listing, read_mis232);
  if (directory) {
    ArenaScope scope(*l.ward_arena);
    l.ward = read_mis231(directory.get());
  } else {
    std::printf("Can't open MIS231.TXT\n");
  }

  Arena numbers;
  std::optional<RecordNumbers> by_number;  // made with the list, on its thread
  ReadAhead<WardMember> m239;
  ReadAhead<WardFamily> ht;
  if (directory) {
    bool opened = false;
    WardFamily* listed = m232.take("Can't open mis232.txt\n", stderr, &opened);
    m239.start("mis239.txt", numbers, [&by_number](FILE* fp) {
      WardMember* records = read_mis239(fp);
      by_number.emplace(records);
      return records;
    });
    if (opened) merge_232(l.ward, listed);
    listing.reset();
    m239.take("Can't open MIS239.TXT\n", stderr, &opened);
    ht.start("mis1313.txt", *l.ht_arena, read_mis1313);
    if (opened) merge_239(l.ward, *by_number);
    by_number.reset();
    numbers.reset();
  } else {
    ht.start("mis1313.txt", *l.ht_arena, read_mis1313);
  }

  ArenaScope in_ward(*l.ward_arena);
  // The names, phones and record numbers of the ward list are settled now:
  // one index of them serves the three merges that follow.
  std::optional<MemberIndex> members;
  std::optional<TeachingFamilyIndex> families;
  run_beside([&] { families.emplace(l.ward); }, [&] { members.emplace(l.ward); });
  ReadAhead<WardFamily> vt;
  ReadAhead<WardOrg> org;
  l.ht = ht.take("Can't open MIS1313.TXT\n", stdout);
  vt.start("mis1413.txt", *l.vt_arena, read_mis1313);
  org.start("mis121.txt", *l.org_arena, read_mis121);
  if (l.ht != nullptr && l.ward != nullptr) merge_1313(l.ward, l.ht, *families, *members);

  // The home-teaching list is settled: its documents are filled while the
  // rest is merged. The groups go to the queue in the order of the batch;
  // the positions and the ward list change up to the last merge, so their
  // files wait for it.
  WardOrg* positions = org.wait();
  q.pause(true);
  if (positions != nullptr) process_mis121_csv(positions, q);
  if (l.ward != nullptr) process_mis231_csv(l.ward, q);
  q.pause(false);
  if (l.ht != nullptr) process_teaching(l.ht, true, q);

  l.vt = vt.take("Can't open MIS1413.TXT for input!\n", stdout);
  if (l.vt != nullptr && l.ward != nullptr) merge_1313(l.ward, l.vt, *families, *members);
  if (l.vt != nullptr) process_teaching(l.vt, false, q);
  if (l.ht != nullptr || l.vt != nullptr) create_htvt_csv(l.ht, l.vt, q);

  l.org = org.take("Can't open MIS121 file!\n", stdout);
  if (l.org != nullptr && l.ward != nullptr) {
    // The positions copied onto members point at the organisations.
    merge_121(l.ward, l.org, *members);
    l.ward_arena->keep(l.org_arena);
  }
}

}  // namespace

bool create_ward_csv() {
  BatchLists lists;
  // The files are written several at once while the last reports are
  // merged, and show as if written one after another once all are merged.
  WriteQueue q;
  q.pause();
  read_inputs(lists, q);
  return q.finish();
}

void run_batch() {
  bool ok = create_ward_csv();
  end_program(ok ? 0 : 1);
}
