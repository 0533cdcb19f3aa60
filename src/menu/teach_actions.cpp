#include "menu/teach_actions.h"

#include <cstdio>
#include <memory>
#include <string>

#include "menu/handoff.h"
#include "menu/prompt.h"
#include "model/arena.h"
#include "model/infile.h"
#include "readers/mis1313.h"
#include "writers/htdist.h"
#include "writers/wardht.h"

namespace {

constexpr const char* kReportPrompt = "Enter name of report (%s): ";

/// Reads a teaching report into `teaching`, in a new arena that replaces
/// `arena`, and, when a ward list exists, merges it there. A report that
/// cannot be opened leaves both as they were.
void read_teaching(LoopState& state, const char* deflt, WardFamily*& teaching,
                   std::shared_ptr<Arena>& arena) {
  std::string name = prompt_name(deflt, kReportPrompt);
  {
    InputFile in(name);
    if (!in) {
      std::fprintf(stderr, "Can't open input file (%s)\n", name.c_str());
      return;
    }
    // The old list goes before the new one is read.
    teaching = nullptr;
    arena = std::make_shared<Arena>();
    arena->expect(in.size());
    ArenaScope scope(*arena);
    teaching = read_mis1313(in.get());
  }
  if (state.ward != nullptr) {
    // The families take copies; the entries share the ward list's record
    // numbers, so the teaching list keeps the ward list's arena.
    ArenaScope scope(*state.ward_arena);
    merge_1313(state.ward, teaching);
    arena->keep(state.ward_arena);
  }
}

}  // namespace

bool teach_action(int opt, LoopState& state) {
  WardFamily* ht = state.HTList;
  WardFamily* vt = state.VTList;
  switch (opt) {
    case 301:
      read_teaching(state, "mis1313.txt", state.HTList, state.ht_arena);
      break;
    case 310:
      hand_off(310, [&](FILE* fp) { create_palm_ht(ht, fp, 310); });
      break;
    case 312:
      hand_off(312, [&](FILE* fp) { create_htdist_report(ht, fp, 312); });
      break;
    case 314:
      hand_off(314, [&](FILE* fp) { create_htdist_htpct(ht, fp); });
      break;
    case 320:
      hand_off(320, [&](FILE* fp) { create_htlist_report(ht, fp, 320); });
      break;
    case 401:
      read_teaching(state, "mis1413.txt", state.VTList, state.vt_arena);
      break;
    case 410:
      hand_off(410, [&](FILE* fp) { create_palm_ht(vt, fp, 410); });
      break;
    case 412:
      hand_off(412, [&](FILE* fp) { create_htdist_report(vt, fp, 412); });
      break;
    case 420:
      hand_off(420, [&](FILE* fp) { create_htlist_report(vt, fp, 420); });
      break;
    default:
      return false;
  }
  return true;
}
