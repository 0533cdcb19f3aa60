#pragma once
// Reader of the MIS 239 member record number list and its merge into the ward
// list: birth, baptism and confirmation dates are copied onto the members
// with the same record number.

#include <cstdio>

#include "model/flatindex.h"
#include "model/kinroll.h"

/// Reads the MIS 239 printout from `fp` to its end and returns one member
/// per data line, in report order, chained through `next`: `lpname` (up to
/// the first ','), `fpname` (after it, up to the first '.'), `recno`
/// (columns 66-78), `birth` (81-89), and `baptism` (92-98) and `confirm`
/// (101-107) when the line reaches them and they are not blank. Page headers
/// with their 5 following lines, footers and lines under 90 characters are
/// skipped; a data line without ',' is reported on the error stream as
/// "Last name missing comma (%s)\n" and skipped. Returns null when no data
/// line was read, or the list so far when memory runs out. Does not close
/// `fp`. The records and their texts live in the current arena and go with
/// it.
WardMember* read_mis239(FILE* fp);

/// The first member of `list` whose `recno` equals `recno` character for
/// character; null when `recno` is absent or none matches. The result points
/// into `list`.
const WardMember* find_member_recno(const WardMember* list, const Text& recno);

/// The entries of an MIS 239 list by record number: find() answers as
/// find_member_recno() on the list, from an index built once. The index
/// points into the list, which must not change while it is used.
class RecordNumbers {
 public:
  explicit RecordNumbers(const WardMember* mis239);

  /// find_member_recno(mis239, recno).
  const WardMember* find(const Text& recno) const;

 private:
  using Index = FlatIndex<const WardMember*>;
  static Index of_recnos(const WardMember* mis239);

  Index by_recno_;
};

/// Gives every member of the ward list `mis231` (cross-reference families
/// included) the `birth`, `baptism` and `confirm` of its MIS 239 entry, an
/// absent date replacing a present one. A member not found is left alone and
/// reported on the error stream as
/// "Can't find record in MIS239for '%s, %s' in family '%s, %s'\n". The dates
/// are copied into the current arena, which must be the ward list's:
/// `mis239` may go once merged.
void merge_239(WardFamily* mis231, const WardMember* mis239);

/// merge_239 with the index of the MIS 239 list made already.
void merge_239(WardFamily* mis231, const RecordNumbers& mis239);
