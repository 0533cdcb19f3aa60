#pragma once
// The units (wards and branches) of the stake, read once at start-up from
// the unit names file "wardunits.txt".

#include "lists/unitnames.h"

/// Reads "wardunits.txt" from the current directory into UnitNames.
void read_ward_units();

/// Reads the unit names file at `path` into a new UnitNames list. A line
/// beginning with "#" is a comment; other lines are cut at "|" into name,
/// abbreviation and display name (a fourth field is ignored, lines with
/// fewer than three are skipped). A missing file, or a folder of that name,
/// is reported on the error stream and gives an empty list. When memory runs
/// out the program ends with status 1, 2 or 3. A list from an earlier call is
/// released (its entries stay).
void read_ward_units_from(const char* path);
