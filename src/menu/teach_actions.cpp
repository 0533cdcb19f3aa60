#include "menu/teach_actions.h"

#include <memory>

#include "model/arena.h"
#include "readers/mis1313.h"

namespace {

/// Reads a teaching report into `teaching`, in a new arena that replaces
/// `arena`, and, when a ward list exists, merges it there. A report that
/// cannot be opened leaves both as they were.
void read_teaching(LoopState& state, const char* deflt, WardFamily*& teaching,
                   std::shared_ptr<Arena>& arena) {
  if (!read_new_list(deflt, read_mis1313, teaching, arena)) return;
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
  switch (opt) {
    case 301:
      read_teaching(state, "mis1313.txt", state.HTList, state.ht_arena);
      break;
    case 401:
      read_teaching(state, "mis1413.txt", state.VTList, state.vt_arena);
      break;
    default:
      return false;
  }
  return true;
}
