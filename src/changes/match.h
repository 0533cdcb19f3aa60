#pragma once
// Pairs the families and members of two directory printouts of one ward, an
// older and a newer one, so that what changed between them can be told.
// Everything runs through hash indexes, so two region-sized printouts are
// paired in time linear in their size.

#include <string_view>
#include <vector>

#include "model/kinroll.h"

/// One member of a printout, by its place.
struct MatchMember {
  const WardMember* mem = nullptr;
  int family = -1;  ///< index of its family in the same side's `families`
  int other = -1;   ///< index of the same person in the other side's `members`, or -1
};

/// One family of a printout, by its place. Its members are the side's
/// `members[first]` to `members[first + count - 1]`, in printout order.
struct MatchFamily {
  const WardFamily* fam = nullptr;
  int first = 0;
  int count = 0;
  int other = -1;  ///< index of the same household in the other side's `families`, or -1
};

/// The households of one printout (families with members) and its other
/// entries (cross-references, which have no members), in printout order.
struct MatchSide {
  std::vector<MatchFamily> families;
  std::vector<MatchMember> members;
  /// Entries without members; `other` pairs them by last name and the name
  /// they refer to, `first` and `count` are 0.
  std::vector<MatchFamily> entries;
};

/// Both printouts, paired. Pairs are symmetric: `a.other == i` exactly when
/// the other side's entry `i` has `other` pointing back.
struct DirectoryMatch {
  MatchSide old_side;
  MatchSide new_side;
};

/// Pairs the families and members of `old_list` and `new_list`. The result
/// points into both lists, which must outlive it and stay unchanged.
///
/// Members: a member with a real record number (see real_recno) is paired
/// with the member of the other list holding the same number (the first one,
/// when a printout repeats a number). Members left over are paired by last
/// name, first name and birth date, in printout order, unless both have real
/// record numbers (two different people of the same name).
///
/// Households, in passes over the newer list in printout order, each pass
/// taking only households not yet paired:
///  1. the head's counterpart heads an older household;
///  2. the head's or the spouse's counterpart is head or spouse of an older
///     household (a widow, a divorce, a marriage into the family);
///  3. last name and head's first name are the same, neither head has a
///     counterpart, and not both heads carry real record numbers;
///  4. the older household holding most of this one's members' counterparts,
///     when they are at least half of its members.
DirectoryMatch match_directories(const WardFamily* old_list, const WardFamily* new_list);

/// The record number of `mem` with surrounding blanks removed, or empty
/// when it has none or only the pseudo number "999-9999-NNNN" that the
/// directory reader makes up for members printed without one.
std::string_view real_recno(const WardMember* mem);
