#include "changes/run.h"

#include <memory>
#include <new>
#include <string>

#include "changes/compare.h"
#include "changes/match.h"
#include "changes/report.h"
#include "model/arena.h"
#include "tools/args.h"
#include "tools/directory.h"
#include "tools/output.h"
#include "tools/samefile.h"
#include "tools/status.h"

namespace {

constexpr ToolOption kOptions[] = {{"csv", true}, {"help", false}};

constexpr const char* kUsageLine = "Usage: kinroll-changes [--csv FILE] OLD NEW\n";

/// Complains about the command line and points at --help.
int usage_error(const std::string& what) {
  tool_error("%s", what.c_str());
  std::fprintf(stderr, "%sTry 'kinroll-changes --help' for more.\n", kUsageLine);
  return kExitTrouble;
}

}  // namespace

void print_changes_usage(FILE* fp) {
  std::fprintf(fp,
               "%s"
               "\n"
               "Compares two MIS 231 directory printouts of the ward, an older (OLD) and a\n"
               "newer one (NEW), and reports what changed: families moved in and out,\n"
               "members added, gone or moved to another family, new addresses, phones and\n"
               "names, and data-quality notes that are new. OLD and NEW are printout files\n"
               "or folders holding mis231.txt.\n"
               "\n"
               "  --csv FILE  also write the changes to FILE, one row per change\n"
               "  --help      show this text\n"
               "\n"
               "Exit status: 0 no changes, 1 changes found, 2 trouble.\n"
               "See the manual page kinroll-changes(1).\n",
               kUsageLine);
}

int run_changes(int argc, char** argv) {
  set_tool_name("kinroll-changes");
  ToolArgs args;
  std::string error;
  if (!parse_tool_args(argc, argv, kOptions, &args, &error)) return usage_error(error);
  if (args.has("help")) {
    print_changes_usage(stdout);
    return finish_stdout() ? kExitSame : kExitTrouble;
  }
  if (args.positional.size() != 2) {
    return usage_error(args.positional.size() < 2 ? "two directory printouts needed, OLD and NEW"
                                                  : "only two directory printouts, OLD and NEW");
  }
  const std::string* csv = args.value("csv");
  if (csv != nullptr && csv->empty()) return usage_error("option --csv needs a file name");

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

    write_changes_report(changes, old_path.c_str(), new_path.c_str(), stdout);
    bool ok = finish_stdout();
    if (csv != nullptr) {
      ok = write_output_whole(*csv, [&](FILE* fp) { write_changes_csv(changes, fp); }) && ok;
    }
    if (!ok) return kExitTrouble;
    return changes == nullptr ? kExitSame : kExitFound;
  } catch (const std::bad_alloc&) {
    tool_error("out of memory");
    return kExitTrouble;
  }
}
