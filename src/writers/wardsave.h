#pragma once
// The ward save file: the whole ward list as "key value" lines, one family
// block (">Fam" ... ">EndFam") after another, each with its member blocks
// (">Mem" ... ">EndMem"). It is written only, never read back.

#include <cstdio>

#include "model/kinroll.h"

/// Writes every family of `list` to `fp`, in list order: the family's lines,
/// its member blocks and ">EndFam". An empty list writes nothing. Write
/// errors are left for the caller to detect on `fp`.
void save_ward(const WardFamily* list, FILE* fp);

/// Writes an empty line, ">Fam" and the lines of `fam` itself: "lname",
/// "fname" (empty when absent), the six teaching numbers and the two
/// percentages always; every other saved text only when present. Neither its
/// members nor ">EndFam".
void save_ward_family(const WardFamily* fam, FILE* fp);

/// Writes the whole block of `mem`, from ">Mem" to ">EndMem": "lname",
/// "fname" (empty when absent), "type" and "msid" always; the birth-date
/// parts when not empty, "age" when not 0, character flags when not NUL and
/// the other texts when present.
void save_ward_member(const WardMember* mem, FILE* fp);
