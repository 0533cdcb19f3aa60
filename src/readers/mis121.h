#pragma once
// Readers of the ward positions report (MIS 121) and of the stake
// organisation report, and the merge of ward positions into the ward list.

#include <cstdio>

#include "model/kinroll.h"
#include "model/lookup.h"

/// Reads the MIS 121 printout from `fp` to its end and returns its
/// organisations in report order, each with its positions in report order;
/// null when no organisation heading was read.
///
/// A line beginning with "WARD" (after an optional form feed or '*') is a
/// page header and is dropped with the 5 lines after it; a line with "For "
/// at column 44 is a footer; lines under 3 characters are skipped. A line
/// with a blank in column 0 is an organisation heading: trimmed, it is
/// looked up in the organisation table, whose name and abbreviation the
/// organisation shares; a heading not in the table is reported as
/// "Can't find organization (%s) in wardorgs.txt\n" on the error stream and
/// serves as both. Any other line is a position of the current organisation
/// (dropped before the first heading): title in columns 0-32, holder in
/// 34-75 when column 34 is not blank, sustained date in 77-87 when there is
/// a holder and column 77 is not blank, phone from column 88 to the line end
/// as printed; `recno` stays absent. When a record cannot be allocated,
/// prints "Can't allocate WardOrg\n" or "Can't allocate ward position
/// struct\n" and returns what was read. Does not close `fp`. Records live in
/// the current arena.
WardOrg* read_mis121(FILE* fp);

/// The member of `list` who holds `pos`: find_id_name with the position's
/// holder and phone gives a record number, and the first member of the list
/// with that number is the holder. Null when the position is vacant or no
/// member matches.
WardMember* find_member_mis121(WardFamily* list, const WardPos* pos);

/// For each position of `org` in order whose holder is found in `list`: sets
/// the position's `recno` to the holder's and appends a copy
/// (clone_ward_pos) to the end of the holder's `pos` chain. Positions
/// without a holder in the list are left unattached, silently; nothing looks
/// for duplicates, so merging twice attaches every position twice. When a
/// copy cannot be allocated, prints "Not enough memory for new ward
/// position!\n" on the error stream and ends the program with status 1.
/// Holders are found through indexes built once, so the merge takes time
/// linear in the sizes of both lists. The copies and the record numbers go
/// to the current arena, which must be the organisation list's: the copies
/// share the positions' texts and point at their organisations, so the ward
/// list's arena must keep the organisation list's alive (Arena::keep).
void merge_121(WardFamily* list, WardOrg* org);

/// merge_121 with an index of `list` built by the caller (see merge_1313).
void merge_121(WardFamily* list, WardOrg* org, const MemberIndex& members);

/// Reads the stake organisation report from `fp` to its end and appends the
/// organisations it finds, with their positions, to the `orgs` of the units
/// of UnitNames.
///
/// A line with "WARD" 12 columns after an optional form feed or '*' is a
/// page header: the next line names the unit from column 12 up to the first
/// two white-space characters in a row; the first unit of UnitNames with
/// exactly that name becomes current, and the 4 lines after it are dropped.
/// A unit not in UnitNames is reported as
/// "Can't find unit (%s) in wardunits.txt\n" on the error stream and leaves
/// no unit current, so that its page is skipped. The current organisation
/// continues across pages of the same unit and ends when the unit changes.
///
/// Other lines are cut after trailing white space is removed: lines that are
/// blank after column 0, footers ("For " at column 44) and lines under 3
/// characters are skipped; a blank in column 12 starts an organisation named
/// by the line's text (a heading "For church use only" is skipped); a '-'
/// in column 12 is a rule; any other line is a position of the current
/// organisation: title in columns 12-36 (without the underscores and blanks
/// that pad it when column 36 is blank), holder in 37-67, sustained date in
/// 68-73 without blanks and '(' at its end when column 68 is not blank, and
/// phone from column 74 with a ')' in column 77 turned into '-'. The
/// organisation's `abbr` stays absent. When a record cannot be allocated,
/// prints "Can't allocate WardOrg\n" or "Can't allocate ward position
/// struct\n" and stops; what was read stays attached. Does not close `fp`.
/// Records live in the current arena.
void read_smis121(FILE* fp);
