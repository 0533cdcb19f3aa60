#include "menu/pos_actions.h"

#include <cstdio>
#include <string>

#include "menu/prompt.h"
#include "menu/settings.h"
#include "model/arena.h"
#include "model/console.h"
#include "model/infile.h"
#include "model/outfile.h"
#include "readers/mis121.h"
#include "writers/stakedoc.h"
#include "writers/stakeproc.h"
#include "writers/wardpos.h"

namespace {

constexpr const char* kDirPrompt = "Enter directory name (%s): ";
constexpr const char* kWorkDirPrompt = "Enter name of working directory (%s): ";

/// Option 101: the positions report becomes the organisation list and is
/// merged into the ward list when there is one.
void read_positions(LoopState& state) {
  // The ward list keeps the old list while its members hold its positions.
  if (!read_new_list("mis121.txt", read_mis121, state.org, state.org_arena)) return;
  if (state.ward != nullptr) {
    // The copies hang on the members and live with the organisations, which
    // the ward list keeps.
    ArenaScope scope(*state.org_arena);
    merge_121(state.ward, state.org);
    state.ward_arena->keep(state.org_arena);
  }
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

/// Option 790: the stake report read and processed in one go. Returns
/// false when the report or the spreadsheet file cannot be opened, so that
/// the option starts again.
bool process_stake() {
  std::string name = prompt_name("smis.txt", "Enter input file name (%s): ");
  InputFile in(name);
  if (!in) {
    std::fprintf(stderr, "Can't open file (%s)\n", name.c_str());
    return false;
  }
  std::string csv_name = prompt_name("smis.csv", "Enter output file name (%s): ");
  OutputFile csv;
  if (!open_or_report(csv, csv_name, "Can't open output file (%s)\n")) return false;

  // Only a lower-case "n" declines.
  std::string line;
  std::string dirname;
  std::printf("Create web page? (y or n): ");
  read_console_line(line);
  if (line.empty() || line[0] != 'n') {
    dirname = prompt_name("stakein", "Enter output directory (%s): ");
  }

  OutputFile doc;
  bool have_doc = false;
  std::printf("Create Palm Text File? (y or n): ");
  read_console_line(line);
  if (line.empty() || line[0] != 'n') {
    std::string doc_name = prompt_name("smisdoc.txt", "Enter doc name (%s): ");
    if (doc_name[0] != 'q') {
      have_doc = open_or_report(doc, doc_name, "Can't open output file (%s)\n");
    }
  }

  read_and_process_smis121(in.get(), csv.get(), dirname, have_doc ? doc.get() : nullptr);
  csv.commit();
  if (have_doc) doc.commit();
  return true;
}

}  // namespace

bool pos_action(int opt, LoopState& state) {
  switch (opt) {
    case 101:
      read_positions(state);
      break;
    case 120:
      write_webpos(state.org, prompt_name("webin", kWorkDirPrompt));
      break;
    case 130:
      write_webpos_onepage(state.org, prompt_name("stakein", kWorkDirPrompt));
      break;
    case 701:
      read_stake();
      break;
    case 720:
      write_smis_txt(prompt_name("stakedoc", kDirPrompt), Instapp);
      break;
    case 790:
      while (!process_stake()) {
      }
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
