#include "menu/pos_actions.h"

#include <cstdio>
#include <string>

#include "menu/handoff.h"
#include "menu/prompt.h"
#include "menu/settings.h"
#include "model/infile.h"
#include "readers/mis121.h"
#include "writers/stakedoc.h"
#include "writers/wardpos.h"

namespace {

constexpr const char* kDirPrompt = "Enter directory name (%s): ";
constexpr const char* kWorkDirPrompt = "Enter name of working directory (%s): ";

/// Option 101: the positions report becomes the organisation list and is
/// merged into the ward list when there is one.
void read_positions(LoopState& state) {
  std::string name = prompt_name("mis121.txt", "Enter name of report (%s): ");
  InputFile in(name);
  if (!in) {
    std::fprintf(stderr, "Can't open input file (%s)\n", name.c_str());
    return;
  }
  state.org = read_mis121(in.get());
  if (state.ward != nullptr) merge_121(state.ward, state.org);
}

/// Option 701: the stake report fills the units' organisations.
void read_stake() {
  std::string name = prompt_name("smis.txt", "Enter input file (%s): ");
  InputFile in(name);
  if (!in) {
    std::fprintf(stderr, "Can't open input file (%s)\n", name.c_str());
    return;
  }
  read_smis121(in.get());
}

}  // namespace

bool pos_action(int opt, LoopState& state) {
  const WardOrg* org = state.org;
  switch (opt) {
    case 101:
      read_positions(state);
      break;
    case 110:
      hand_off({"wardpos", kDirPrompt, "**%s Ward Positions %s\n", "Positions"},
               [&](FILE* fp) { create_palm_pos(org, fp); });
      break;
    case 120:
      write_webpos(org, prompt_name("webin", kWorkDirPrompt));
      break;
    case 130:
      write_webpos_onepage(org, prompt_name("stakein", kWorkDirPrompt));
      break;
    case 701:
      read_stake();
      break;
    case 720:
      write_smis_txt(prompt_name("stakedoc", kDirPrompt), Instapp);
      break;
    case 730: {
      std::string dir = prompt_name("stakedoc", kDirPrompt);
      std::string fname = prompt_name("alpha", "Enter output file (%s): ");
      write_smis_alpha(dir, fname, Instapp);
      break;
    }
    default:
      return false;
  }
  return true;
}
