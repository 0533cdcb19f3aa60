#pragma once
// Reading a ward folder for the contact files: the directory printout and,
// when the folder holds them, the family listing and the record-number
// list, merged as the batch production merges them. The readers' and the
// merges' console lines (counts, entries not found) are no part of this
// program's report and are silenced.

#include <string>
#include <vector>

#include "model/arena.h"
#include "model/kinroll.h"
#include "tools/samefile.h"

/// The printouts that read_contacts_ward reads from the folder `dir`, in
/// the order it reads them, named for messages; the last two need not
/// exist.
std::vector<ReadFile> contacts_ward_files(const std::string& dir);

/// Reads `dir`/mis231.txt into `arena` and merges `dir`/mis232.txt
/// (merge_232) and `dir`/mis239.txt (merge_239) into it when they exist;
/// their own lists are dropped after the merge. Stores the ward list in
/// `*list`; it lives as long as `arena`. Returns false after tool_error()
/// when the directory printout cannot be read or is none (see
/// read_directory_quietly), or when one of the other two exists but cannot
/// be read; `*list` is then null.
bool read_contacts_ward(const std::string& dir, Arena& arena, WardFamily** list);
