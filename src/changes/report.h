#pragma once
// The changes report for the clerk and its CSV file for spreadsheets.
//
// The report, when there are changes:
//
//   Changes from OLD to NEW
//
//   Families moved in: 1
//     NIELSEN, Erik
//       Address: 19 Mesa Drive, Alder Springs, UT 84990
//       Phone: 555-0166
//       Members: Erik (36), Anna (34), Mia (newborn, born 02May24)
//
//   Families moved out: 1
//     (the same block, as the older printout had it)
//
//   Members added to a family: 1
//     MORTENSEN, Ella (newborn, born 29Apr24) in MORTENSEN, David
//
//   Members gone from a family: 1
//     KIMBALL, Jacob (19) from KIMBALL, Nathan
//
//   Members moved to another family: 1
//     KIMBALL, Jacob (19): KIMBALL, Nathan -> KIMBALL, Jacob
//
//   Addresses changed: 1
//     PETERSEN, Kyle
//       Old: 340 South Main Street, Apt 3, Alder Springs, UT 84990
//       New: 1822 Hillcrest Road, Alder Springs, UT 84990-2275
//
//   Phones changed: 1
//     DUVALL, Steven: (none) -> 555-0110
//
//   Names changed: 1
//     073-4402-1186: CALLISTER, Rebecca -> BRENNER, Rebecca
//
//   New data-quality notes: 1
//     Family NIELSEN, Erik: Missing comma after city
//
// Sections without changes are left out; the count follows each title.
// Without any change the report is the one line "No changes". A missing
// address or phone shows as "(none)"; an age in parentheses only where the
// printout gave an age or a birth date. Notes are worded as the error report
// words them.

#include <cstdio>

#include "changes/compare.h"

/// Writes the report of `list` (from compare_directories) to `fp`, naming
/// the printouts compared `old_name` and `new_name` in its first line.
void write_changes_report(const WardChange* list, const char* old_name, const char* new_name,
                          FILE* fp);

/// Writes the CSV file of `list` to `fp`: the header row
/// "Kind,Family,Member,RecordNo,Old,New", then one row per change in report
/// order, with the kinds moved-in, moved-out, added, gone, moved, address,
/// phone, name and note. Family and Member are named "LNAME, First"; the
/// record number is the member's, or for a household change its head's, and
/// is left empty where the printout gave none. Old and New hold:
///   moved-in, moved-out   the address and "; " and the phone (New, Old)
///   added, gone           the age as the report shows it (New, Old)
///   moved                 the families before and now
///   address, phone, name  the values before and now
///   note                  the note's text (New)
/// Fields are written with csv_first/csvfld: quoted when they hold a comma,
/// a blank or a double quote.
void write_changes_csv(const WardChange* list, FILE* fp);
