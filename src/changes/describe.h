#pragma once
// How the changes report and its CSV file name families and members and
// print addresses and ages. Absent texts print as nothing.

#include <string>

#include "model/kinroll.h"

/// "LNAME, First" of a family (its head's first name); "LNAME" without one.
std::string family_name(const WardFamily* fam);

/// "LNAME, First" of a member; "LNAME" without a first name.
std::string member_name(const WardMember* mem);

/// The family's address on one line: street, second line, then city,
/// state, zip code and its extension, as "412 Juniper Lane, Apt 2, Alder
/// Springs, UT 84990-3108"; the parts absent are left out with their
/// separators. Empty when the family has no address at all.
std::string address_line(const WardFamily* fam);

/// The birth date as printed, day, month and year run together ("29Apr24");
/// empty when none was printed.
std::string birth_date(const WardMember* mem);

/// A member's age as the report shows it: the age ("45"); "newborn, born
/// 29Apr24" for an age of 0 with a birth date; empty when neither an age nor
/// a birth date was printed.
std::string age_note(const WardMember* mem);
