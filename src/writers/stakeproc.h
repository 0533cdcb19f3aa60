#pragma once
// Reading and processing the stake report in one go: the stake's positions
// as a spreadsheet, as web-page input and as a handheld document.

#include <cstdio>
#include <string_view>

/// Reads the stake report from `in` into the units of UnitNames (as
/// read_smis121 does), then writes every unit's positions (units in slot
/// order, organisations and positions in report order):
/// - to `csv`, a header row "Unit,Organization,Position,Person,Sustained,
///   Phone" and one row per position, by the CSV rules of the ward exports;
/// - when `dirname` is not empty, the file "%s/stakepos.html" in the marker
///   format of the one-page ward positions input, one section per unit (an
///   anchor named by the unit's abbreviation, one group per organisation),
///   written whole; "Can't open output TOC file (%s)\n" on the error stream
///   when it cannot be opened;
/// - when `doc` is not null, a handheld document: "=Stake Positions\n", per
///   unit a bookmark "^%s\n" with its display name and per organisation
///   "^%s: %s\n" (unit abbreviation, organisation) followed by the positions
///   as the per-unit documents list them, then the trailer "<^>\n".
/// The caller opens and commits `csv` and `doc`. Returns false when the web
/// file could not be opened or written whole.
bool read_and_process_smis121(FILE* in, FILE* csv, std::string_view dirname, FILE* doc);
