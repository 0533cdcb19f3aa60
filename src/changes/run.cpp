#include "changes/run.h"

#include <memory>
#include <new>
#include <string>

#include "changes/compare.h"
#include "changes/match.h"
#include "changes/report.h"
#include "model/arena.h"
#include "tools/about.h"
#include "tools/args.h"
#include "tools/directory.h"
#include "tools/output.h"
#include "tools/samefile.h"
#include "tools/status.h"

constexpr ToolOption kOptions[] = {{"csv", true}, {"help", false, 'h'}, {"version", false}};

void print_changes_usage(FILE* fp) {
  std::fputs(
      "Usage: kinroll-changes [--csv FILE] OLD NEW\n"
      "       kinroll-changes --help | --version\n"
      "\n"
      "Compares two MIS 231 directory printouts of the ward, an older (OLD) and a\n"
      "newer one (NEW), and reports what changed: families moved in and out,\n"
      "members added, gone or moved to another family, new addresses, phones and\n"
      "names, and data-quality notes that are new. OLD and NEW are printout files\n"
      "or folders holding mis231.txt; one of them may be - for standard input.\n"
      "\n"
      "  --csv FILE  also write the changes to FILE, one row per change; with\n"
      "              --csv - the rows go to standard output instead of the report\n"
      "  -h, --help  show this text and exit\n"
      "  --version   show the version and exit\n"
      "\n"
      "Exit status: 0 no changes, 1 changes found, 2 trouble.\n"
      "See the manual page kinroll-changes(1).\n",
      fp);
}

int run_changes(int argc, char** argv) {
  set_tool_name("kinroll-changes");
  ToolArgs args;
  int status;
  if (!read_command_line(argc, argv, kOptions, print_changes_usage, &args, &status)) return status;
  if (args.positional.size() != 2) {
    return usage_trouble(args.positional.size() < 2
                             ? "two directory printouts needed, OLD and NEW"
                             : "only two directory printouts, OLD and NEW");
  }
  if (args.positional[0] == "-" && args.positional[1] == "-") {
    return usage_trouble("only one of OLD and NEW can be standard input");
  }
  const std::string* csv = args.value("csv");
  if (csv != nullptr && csv->empty()) return usage_trouble("option --csv needs a file name");
  bool csv_only = csv != nullptr && *csv == "-";

  try {
    std::string old_path = directory_printout_path(args.positional[0]);
    std::string new_path = directory_printout_path(args.positional[1]);
    const ReadFile printouts[] = {{"the old printout", old_path}, {"the new printout", new_path}};
    if (csv != nullptr && !output_spares_inputs("--csv", *csv, printouts)) return kExitTrouble;
    auto old_arena = std::make_shared<Arena>();
    auto new_arena = std::make_shared<Arena>();
    WardFamily* old_list = nullptr;
    WardFamily* new_list = nullptr;
    if (!read_directory_quietly(old_path, *old_arena, &old_list)) return kExitTrouble;
    if (!read_directory_quietly(new_path, *new_arena, &new_list)) return kExitTrouble;

    // The changes point into both lists.
    Arena changes_arena;
    changes_arena.keep(old_arena);
    changes_arena.keep(new_arena);
    ArenaScope scope(changes_arena);
    WardChange* changes = compare_directories(match_directories(old_list, new_list));

    bool ok = true;
    if (!csv_only) {
      write_changes_report(changes, old_path.c_str(), new_path.c_str(), stdout);
      ok = finish_stdout();
    }
    if (csv != nullptr) {
      ok = write_output_whole(*csv, [&](FILE* fp) { write_changes_csv(changes, fp); }) && ok;
    }
    if (!ok) return kExitTrouble;
    int n = 0;
    for (const WardChange* c = changes; c != nullptr; c = c->next) ++n;
    std::string summary =
        n == 0 ? "no changes" : n == 1 ? "1 change" : std::to_string(n) + " changes";
    if (csv != nullptr && !csv_only) summary += ", CSV rows in " + *csv;
    tool_error("%s", summary.c_str());
    return changes == nullptr ? kExitSame : kExitFound;
  } catch (const std::bad_alloc&) {
    tool_error("out of memory");
    return kExitTrouble;
  }
}
