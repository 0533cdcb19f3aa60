#pragma once
// Reader of the MIS 232 family listing and its merge into the ward list: the
// listing's three-character family code (`acode`) is copied onto the ward
// families found in it by last name, first name and address.

#include <cstdio>
#include <string_view>

#include "model/kinroll.h"

/// True for a family line: at least 23 characters, spaces in columns 20 and
/// 21 and an upper-case letter in column 22.
bool is_mis232(std::string_view line);

/// True for a spouse continuation line: '&' in column 21.
bool is_mis232_spouse(std::string_view line);

/// True for a child continuation line: at least 24 characters, spaces in
/// columns 20 to 22 and an upper-case letter in column 23.
bool is_mis232_child(std::string_view line);

/// Builds a new family from a family line: `phone` (columns 0-19 less leading
/// blanks), `lname` (column 22 up to the first ',' of the name column),
/// `addr` (columns 64-104 less trailing blanks, column 64 kept; empty when
/// the line ends before column 64), `acode` (columns 105-107; empty when the
/// line ends before column 105), a head and, when the first names hold
/// " & ", a spouse. The family's `fname` is the head's first name. A line
/// without ',' in the name column gives the name column (less dot leaders and
/// trailing blanks) as `lname` and a head without a first name, so the family
/// matches nothing. Returns null when a record cannot be allocated.
WardFamily* parse_mis232(std::string_view line);

/// Appends a spouse (`type` 2) to `fam` whose first name is the text from
/// column 23 to the end of the line, unchanged.
void parse_mis232_spouse(std::string_view line, WardFamily* fam);

/// Appends to `fam` one child (`type` 3) for each ','-separated entry from
/// column 23 on. An entry holding a capitalised surname ("Billy JONES") is
/// split into first name and `lname`; a trailing "JR" is kept in the first
/// name.
void parse_mis232_child(std::string_view line, WardFamily* fam);

/// Reads the MIS 232 printout from `fp` to its end and returns its families
/// in report order, each with its head, spouse and children; null when the
/// printout holds no family line. Continuation lines with no family before
/// them are dropped. Does not close `fp`. The records and their texts live in
/// the current arena and go with it.
WardFamily* read_mis232(FILE* fp);

/// The first family of `mis232` whose `lname`, `fname` and `addr` equal
/// those of `fam` exactly; null when there is none. A family without an
/// address, or a ward family without a first name, never matches. The
/// result points into `mis232`.
const WardFamily* find_family_mis232(const WardFamily* mis232, const WardFamily* fam);

/// Copies the `acode` of each family's MIS 232 entry onto the families of
/// the ward list `mis231`, cross-reference families excepted. Prints
/// "Can't find entry in MIS232 (%s, %s)\n" with the last and first name on
/// standard output for each family not found. The codes are copied into the
/// current arena, which must be the ward list's: `mis232` may go once merged.
void merge_232(WardFamily* mis231, const WardFamily* mis232);
