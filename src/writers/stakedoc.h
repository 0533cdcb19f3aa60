#pragma once
// The stake documents written from the organisations that the stake report
// reader hung on the units of UnitNames: one positions document per unit and
// one alphabetical list of every position holder of the stake. Both are
// handheld documents with "^" bookmarks and the trailer "<^>\n", written
// whole into a directory that is not created, and handed to the converter
// command when one is given. Units are walked in slot order (null slots
// skipped), organisations and positions in list order.

#include <cstdio>
#include <string_view>

#include "lists/unitnames.h"

/// One holder in the stake alphabetical list.
struct alpha {
  alpha* next = nullptr;      // next entry of the same letter bucket
  Text name;                  // the position's holder text (shared)
  UnitName* uname = nullptr;  // the unit of the position
  WardOrg* org = nullptr;     // the organisation of the position
  WardPos* pos = nullptr;     // the position
};

/// Calls `f` with each unit of UnitNames in slot order, null slots left out;
/// nothing when there is no UnitNames.
template <class F>
void each_unit(F f) {
  if (UnitNames == nullptr) return;
  for (int i = 0; i < UnitNames->nitems; ++i) {
    auto* u = static_cast<UnitName*>(UnitNames->item[static_cast<size_t>(i)]);
    if (u != nullptr) f(u);
  }
}

/// Writes the positions of `org` as the stake documents list them: per
/// position its title and "\t[Unassigned]\n", or "\t%s" with the holder,
/// " %s" with the phone and " [%s]" with the date.
void write_stake_positions(const WardOrg* org, FILE* fp);

/// Writes "%s/%sPos.txt" (directory, unit abbreviation with every '/' made
/// '_', so that each document stays in the directory) for each unit: the
/// title "=%s Ward Positions\n" with the display name, "^%s\n" per
/// organisation, and per position its title and "\t[Unassigned]\n" or
/// "\t%s" with the holder, " %s" with the phone and " [%s]" with the date;
/// then "<^>\n". A file that cannot be opened is reported as
/// "Can't open output file (%s)\n" on the error stream and the next unit is
/// taken. When `instapp` is present and not empty and the file was written
/// whole, hands it on (hand_to_converter): prints "Executing %s ...\n" with
/// the converter command "%s %s/%sPos \"%s Positions\"" (converter,
/// directory, abbreviation, display name; path and name quoted for the
/// shell) and runs it, waiting for it.
void write_smis_txt(std::string_view dirname, const Text& instapp);

/// Writes "%s/%s.txt" (directory, `fname`): for each letter with holders
/// "^%c\n", then per holder "%s [%s]\n" (holder, unit abbreviation) and
/// "\t%s: %s\n" (organisation, title); then "<^>\n". Holders are sorted by
/// name ignoring letter case, equal names in walking order; only holders
/// whose name begins with 'A'-'Z' are listed. Reports
/// "Can't create alpha list\n" or "Can't open output file (%s)\n" on the
/// error stream and stops. When `instapp` is present and not empty and the
/// file was written whole, hands it on (hand_to_converter): prints
/// "Executing %s ...\n" with the command "%s %s/%s \"Stake Alphabetical
/// List\"" and runs it.
void write_smis_alpha(std::string_view dirname, std::string_view fname, const Text& instapp);

/// A new bucket list for insert_alpha: 26 null slots, all counted, slot k
/// heading the bucket of the letter 'A' + k. Null when memory is exhausted.
/// The caller frees it with free_ptr_prodlist (the entries stay in their
/// arena).
ProdPtrList* create_alpha_buckets();

/// Adds an entry for `pos` (held by someone whose name begins with 'A'-'Z')
/// to its letter bucket in `alpha`, in constant time: it goes first, so an
/// unsorted bucket runs newest first. Nothing is added when an argument is
/// null, the position is vacant or its holder's initial is not an upper-case
/// letter; "Can't allocate alpha struct\n" on the error stream when the
/// entry cannot be allocated. The entry lives in the current arena.
/// sort_alpha_buckets puts the buckets in order once all are added.
void insert_alpha(ProdPtrList* alpha, UnitName* uname, WardOrg* org, WardPos* pos);

/// Puts every bucket of `alpha` filled by insert_alpha in order of name,
/// comparing the names byte by byte with letters a-z taken as A-Z; entries
/// with equal names stand in the order in which they were added. O(n log n)
/// in the bucket's length.
void sort_alpha_buckets(ProdPtrList* alpha);
