#pragma once
// What changed between two directory printouts of one ward: the changes as
// records, in the order the report shows them.

#include "changes/match.h"
#include "model/kinroll.h"

/// Kinds of change, in the order of the report's sections.
enum class ChangeKind {
  kMovedIn,        ///< a household only the newer printout has
  kMovedOut,       ///< a household only the older printout has
  kMemberAdded,    ///< a person new to the ward, in a continuing household
  kMemberGone,     ///< a person no longer in the ward, from a continuing household
  kMemberMoved,    ///< a person now in another household of the ward
  kAddress,        ///< a continuing household's address
  kPhone,          ///< a continuing household's phone
  kName,           ///< a person's name, same record number
  kNote,           ///< a data-quality note the older printout did not have
};

/// Number of kinds.
inline constexpr int kChangeKinds = 9;

/// One change. The pointers lead into the two ward lists compared; which
/// are set depends on the kind:
///   kMovedIn       new_fam
///   kMovedOut      old_fam
///   kMemberAdded   new_fam, new_mem
///   kMemberGone    old_fam, old_mem
///   kMemberMoved   old_fam, old_mem (where the person was), new_fam, new_mem
///   kAddress       old_fam, new_fam
///   kPhone         old_fam, new_fam
///   kName          new_fam, old_mem, new_mem
///   kNote          new_fam (the family or entry noted, or the member's
///                  family), new_mem when the note is a member's, and note
struct WardChange {
  WardChange* next = nullptr;
  ChangeKind kind = ChangeKind::kMovedIn;
  const WardFamily* old_fam = nullptr;
  const WardFamily* new_fam = nullptr;
  const WardMember* old_mem = nullptr;
  const WardMember* new_mem = nullptr;
  const WardErr* note = nullptr;
};

/// The changes from the older to the newer printout that `match` pairs
/// (see match_directories), as a chain of records made in Arena::current():
/// by kind in the order of ChangeKind, within a kind by last name, then
/// first name (byte order), then printout order. Null when nothing changed.
/// The records point into both ward lists, which must outlive them.
///
/// A household moved in or out is one change; its members are not listed
/// again as added or gone. A person in another household than before is
/// moved, whether the households continue or not. Addresses are compared as
/// address_line() prints them, phones as printed (an empty phone as none).
/// Names are compared for every paired person; only those paired by record
/// number can differ. A note is new when the record it is attached to
/// (family, member or entry) has no counterpart, or when its counterpart
/// carries no note of the same text. Throws std::bad_alloc when memory runs
/// out.
WardChange* compare_directories(const DirectoryMatch& match);

/// The number of changes of `kind` in the chain `list`.
int count_changes(const WardChange* list, ChangeKind kind);

/// The household that `c` is listed under: `new_fam`, or `old_fam` for a
/// household or person no longer in the newer printout.
inline const WardFamily* change_family(const WardChange* c) {
  return c->new_fam != nullptr ? c->new_fam : c->old_fam;
}

/// The person that `c` is about: `new_mem`, or `old_mem` for a person no
/// longer in the newer printout; null for a household change or note.
inline const WardMember* change_member(const WardChange* c) {
  return c->new_mem != nullptr ? c->new_mem : c->old_mem;
}
