#pragma once
// Reading a ward folder for a one-job program: the directory printout and,
// when the folder holds them, the family listing, the record-number list
// and the positions report, merged as the batch production merges them. The readers' and the
// merges' console lines (counts, entries not found) are no part of this
// program's report and are silenced.

#include <string>
#include <vector>

#include "model/arena.h"
#include "model/kinroll.h"
#include "tools/samefile.h"

/// The printouts that read_ward_folder reads from the folder `dir`, in
/// the order it reads them, named for messages; the last two need not
/// exist.
std::vector<ReadFile> ward_folder_files(const std::string& dir);

/// Reads `dir`/mis231.txt into `arena` and merges `dir`/mis232.txt
/// (merge_232) and `dir`/mis239.txt (merge_239) into it when they exist;
/// their own lists are dropped after the merge. Stores the ward list in
/// `*list`; it lives as long as `arena`. Returns false after tool_error()
/// when the directory printout cannot be read or is none (see
/// read_directory_quietly), or when one of the other two exists but cannot
/// be read; `*list` is then null.
bool read_ward_folder(const std::string& dir, Arena& arena, WardFamily** list);

/// The positions report and the organisation table that
/// read_ward_positions reads from the folder `dir`, named for messages;
/// neither need exist.
std::vector<ReadFile> ward_position_files(const std::string& dir);

/// Reads `dir`/mis121.txt, when the folder holds it, into `arena` and
/// attaches its positions to their holders in `list` (merge_121), which
/// must live in `arena` too. The report's headings are looked up in the
/// organisation table `dir`/wardorgs.txt, loaded first (wardorgs_parse,
/// into the program's table) when the folder holds it; without it each
/// heading names its organisation. Stores the organisations, in report
/// order, in `*orgs`: null without a positions report or when it holds no
/// organisation; they live as long as `arena`. Returns false, `*orgs`
/// null, after tool_error() when either file exists but cannot be read.
bool read_ward_positions(const std::string& dir, Arena& arena, WardFamily* list,
                         WardOrg** orgs);
