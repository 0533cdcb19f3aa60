#pragma once
// Lookups in a ward list: by printed name and phone, by record number, and
// by family name. Each walks the list from its first family and returns the
// first match in list order.

#include <cstdint>
#include <string_view>

#include "model/flatindex.h"
#include "model/kinroll.h"

/// The first family of `list` whose `lname` and `fname` equal `lname` and
/// `fname` ignoring letter case (an absent name matches nothing); null when
/// none does.
WardFamily* find_family(WardFamily* list, std::string_view lname, std::string_view fname);

/// The record number of the member that a report names as "Last, First"
/// with a phone: `name` is split at its first ',' into the last name and,
/// after the ',' and the one character that follows it, the first name (no
/// ',': all last name, empty first name). Only families whose `phone` equals
/// `phone` exactly are looked at (an absent `phone` looks only at families
/// without one); in them the first member whose `lname` equals the last name
/// ignoring case and whose `fname` equals the first name exactly gives its
/// `recno`. Absent when `list` or `name` is absent, when no member matches,
/// or when the member has no record number.
Text find_id_name(const WardFamily* list, const Text& name, const Text& phone);

/// The first member of `list` (families in order, members in order) whose
/// `recno` is present and equals `recno` exactly; null when none does or
/// `recno` is absent.
WardMember* find_family_member_recno(WardFamily* list, const Text& recno);

/// True when `a` and `b` are equal after converting the letters a-z to
/// upper case.
bool equal_nocase(std::string_view a, std::string_view b);

/// The answers of find_id_name for one ward list, from an index built once:
/// each lookup costs a hash look-up instead of a walk of the list, and
/// returns exactly what the walk returns (the first match in list order).
/// The list's names and phones must not change while the index is used; the
/// index points into the list.
class MemberIndex {
 public:
  explicit MemberIndex(WardFamily* list);

  /// find_id_name(list, name, phone).
  Text find_id_name(const Text& name, const Text& phone) const;

 private:
  /// A member with the family whose phone it is found by.
  struct Named {
    WardMember* mem;
    const WardFamily* fam;
  };
  /// The keys of every named member of a list, in list order.
  static FlatIndex<Named>::Items gather(WardFamily* list);

  FlatIndex<Named> by_name_;
};

/// The hash of a member's key for the lookups by name: the family phone
/// (absent marked as such), the last name ignoring letter case, the first
/// name.
uint64_t name_key_hash(const Text& phone, std::string_view last, std::string_view first);
