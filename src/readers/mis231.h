#pragma once
// Reader of the MIS 231 directory of members: the only reader that creates
// ward families. It cuts each printout line into the family's left-hand
// column (columns 0-40) and one member (column 41 on), finishes each family
// at its separator line and attaches every problem it finds to the family or
// member concerned as an error note.

#include <cstdio>
#include <string_view>

#include "model/kinroll.h"

/// Reads the directory printout from `fp` (positioned at its start) until the
/// "Total" line or the end of the file and returns its families in report
/// order, each with its members in report order; null when the printout
/// holds no family. Page headers (and the 5 lines after each), page footers,
/// "(Cont.)" markers and lines under 3 characters are skipped. Each family is
/// finished once, at the first separator line after it (adjust_fam); a family
/// not closed by a separator keeps its raw lines. Members without a record
/// number get pseudo numbers (fill_recno, which prints its count). When a
/// record cannot be allocated the list built so far is returned at once,
/// without pseudo numbers. Does not close `fp`. The records and their texts
/// live in the current arena and go with it.
WardFamily* read_mis231(FILE* fp);

/// Finishes one family from its raw left-hand lines: may give the family the
/// spouse's first name in place of a bracketed head's (printing
/// "Changing head of %s family from %s to %s\n" on standard output), picks
/// out the phone line, and splits the city line into `city`, `state`, `zip`
/// and `zip2`, attaching a note for each problem. A family without `addr`
/// (every cross-reference among them) is left unchanged. Run it once per
/// family: a second run would take the finished city apart again.
void adjust_fam(WardFamily* fam);

/// 1 when `text` is acceptable as a phone entry: it holds "unlisted", or is
/// "N/A" or "none" in any case, or holds exactly 7 or exactly 10 digits;
/// else 0.
int is_phone(std::string_view text);

/// 1 when `text` is present, not empty, and made only of digits, blanks and
/// '-'; else 0.
int iszip(const Text& text);

/// Gives every member of `list` without a record number the pseudo number
/// "999-9999-NNNN", counting from 0001 across all families in list order, and
/// gives it to the member's family too when the family has none. Prints
/// "Inserted %d pseudo-record numbers\n" on standard output, also for 0.
void fill_recno(WardFamily* list);
