#pragma once
// The units (wards and branches) of the stake: the records that the unit
// names file fills, the stake report reader hangs its organisations on and
// the stake writers walk.

#include "lists/prodlist.h"
#include "model/kinroll.h"

/// One unit of the stake, with the organisations the stake report gives it.
struct UnitName {
  Text name;                // as the stake report prints it
  Text abbr;                // short form for output file names
  Text display;             // name for titles and converter commands
  WardOrg* orgs = nullptr;  // filled by the stake report reader
};

/// The units in file order: slots 0 .. nitems-1 point at arena-owned
/// UnitName entries (a slot may be null). An empty list when the unit names
/// file could not be read; null only before it has been read (or when memory
/// was short without the file).
extern ProdPtrList* UnitNames;
