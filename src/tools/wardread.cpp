#include "tools/wardread.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "model/infile.h"
#include "readers/mis121.h"
#include "readers/mis232.h"
#include "readers/mis239.h"
#include "readers/wardorgs.h"
#include "tools/directory.h"

namespace {

/// Opens the optional file `path` as `*in` when it exists. Returns true,
/// `*in` left empty, when it does not exist; false, after
/// report_unreadable(), when it exists but cannot be read.
bool open_optional(const std::string& path, std::optional<InputFile>* in) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return true;
  errno = 0;
  in->emplace(path);
  if (**in) return true;
  report_unreadable(path, errno);
  in->reset();
  return false;
}

/// Reads the optional printout `path` with `read` into a list of its own
/// and hands it to `merge`, which copies what it takes into `ward_arena`,
/// the arena of `ward`. A printout that does not exist is no trouble; one
/// that exists but cannot be read is.
template <class List>
bool merge_optional(const std::string& path, List* (*read)(FILE*), WardFamily* ward,
                    Arena& ward_arena, void (*merge)(WardFamily*, const List*)) {
  std::optional<InputFile> in;
  if (!open_optional(path, &in)) return false;
  if (!in) return true;
  Arena arena;
  List* other = nullptr;
  QuietConsole quiet(true);
  {
    ArenaScope scope(arena);
    other = read(in->get());
  }
  ArenaScope scope(ward_arena);
  merge(ward, other);
  return true;
}

}  // namespace

std::vector<ReadFile> ward_folder_files(const std::string& dir) {
  return {{"the directory printout", path_in_folder(dir, "mis231.txt")},
          {"the family listing", path_in_folder(dir, "mis232.txt")},
          {"the record number list", path_in_folder(dir, "mis239.txt")}};
}

bool read_ward_folder(const std::string& dir, Arena& arena, WardFamily** list) {
  std::vector<ReadFile> files = ward_folder_files(dir);
  bool ok = read_directory_quietly(files[0].path, arena, list) &&
            merge_optional(files[1].path, read_mis232, *list, arena, merge_232) &&
            merge_optional(files[2].path, read_mis239, *list, arena, merge_239);
  if (!ok) *list = nullptr;
  return ok;
}

std::vector<ReadFile> ward_position_files(const std::string& dir) {
  return {{"the positions report", path_in_folder(dir, "mis121.txt")},
          {"the organisation table", path_in_folder(dir, "wardorgs.txt")}};
}

bool read_ward_positions(const std::string& dir, Arena& arena, WardFamily* list,
                         WardOrg** orgs) {
  *orgs = nullptr;
  std::vector<ReadFile> files = ward_position_files(dir);
  std::optional<InputFile> report;
  std::optional<InputFile> table;
  if (!open_optional(files[0].path, &report) || !open_optional(files[1].path, &table)) {
    return false;
  }
  if (!report) return true;
  QuietConsole quiet(true);
  // The table is the program's, in the global arena, as the menu program
  // loads it at start-up.
  if (table) wardorgs_parse(files[1].path.c_str());
  ArenaScope scope(arena);
  *orgs = read_mis121(report->get());
  if (*orgs != nullptr) merge_121(list, *orgs);
  return true;
}
