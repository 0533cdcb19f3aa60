#include "menu/ward_actions.h"

#include <cstdio>
#include <string>

#include "menu/prompt.h"
#include "model/arena.h"
#include "model/infile.h"
#include "model/listing.h"
#include "model/outfile.h"
#include "readers/mis231.h"
#include "readers/mis232.h"
#include "readers/mis239.h"
#include "writers/wardsave.h"

namespace {

/// Reads an enriching report and, only when a ward list exists, merges what
/// was read into it. The report's list is gone once merged.
template <class Entry>
void read_and_merge(LoopState& state, const char* deflt, Entry* (*read)(FILE*),
                    void (*merge)(WardFamily*, const Entry*)) {
  std::string name = prompt_name(deflt, "Enter name of report (%s): ");
  Arena report_arena;
  Entry* report;
  {
    InputFile in(name);
    if (!in) {
      std::fprintf(stderr, "Can't Open file (%s)\n", name.c_str());
      return;
    }
    report_arena.expect(in.size());
    ArenaScope scope(report_arena);
    report = read(in.get());
  }
  if (state.ward != nullptr) {
    ArenaScope scope(*state.ward_arena);
    merge(state.ward, report);
  }
}

void save_list(const WardFamily* ward) {
  std::string name = prompt_name("wardsave.txt", "Enter file name (%s): ");
  OutputFile out;
  if (!out.open(name)) {
    std::printf("Can't open %s!\n", name.c_str());
    return;
  }
  save_ward(ward, out.get());
  out.commit();
}

}  // namespace

bool ward_action(int opt, LoopState& state) {
  switch (opt) {
    case 7:
      break;
    case 8:
      list_ward(state.ward, stdout);
      break;
    case 9:
      save_list(state.ward);
      break;
    case 201:
      read_new_list("mis231.txt", read_mis231, state.ward, state.ward_arena);
      break;
    case 202:
      read_and_merge(state, "mis232.txt", read_mis232, merge_232);
      break;
    case 209:
      read_and_merge(state, "mis239.txt", read_mis239, merge_239);
      break;
    default:
      return false;
  }
  return true;
}
