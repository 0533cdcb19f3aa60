#include "contacts/wardread.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "model/infile.h"
#include "readers/mis232.h"
#include "readers/mis239.h"
#include "tools/directory.h"

namespace {

/// Reads the optional printout `path` with `read` into a list of its own
/// and hands it to `merge`, which copies what it takes into `ward_arena`,
/// the arena of `ward`. A printout that does not exist is no trouble; one
/// that exists but cannot be read is.
template <class List>
bool merge_optional(const std::string& path, List* (*read)(FILE*), WardFamily* ward,
                    Arena& ward_arena, void (*merge)(WardFamily*, const List*)) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return true;
  errno = 0;
  InputFile in(path);
  if (!in) {
    report_unreadable(path, errno);
    return false;
  }
  Arena arena;
  List* other = nullptr;
  QuietConsole quiet(true);
  {
    ArenaScope scope(arena);
    other = read(in.get());
  }
  ArenaScope scope(ward_arena);
  merge(ward, other);
  return true;
}

}  // namespace

std::vector<ReadFile> contacts_ward_files(const std::string& dir) {
  return {{"the directory printout", path_in_folder(dir, "mis231.txt")},
          {"the family listing", path_in_folder(dir, "mis232.txt")},
          {"the record number list", path_in_folder(dir, "mis239.txt")}};
}

bool read_contacts_ward(const std::string& dir, Arena& arena, WardFamily** list) {
  std::vector<ReadFile> files = contacts_ward_files(dir);
  bool ok = read_directory_quietly(files[0].path, arena, list) &&
            merge_optional(files[1].path, read_mis232, *list, arena, merge_232) &&
            merge_optional(files[2].path, read_mis239, *list, arena, merge_239);
  if (!ok) *list = nullptr;
  return ok;
}
