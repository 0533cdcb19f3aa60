#pragma once
// The ward's birthdays as an iCalendar file (RFC 5545): one all-day event a
// year per member whose birthday is known. Made through libical, which
// escapes the text; folded by write_content_lines (vtext.h), as libical's own
// folding may cut a line end in two. No event tells a birth year: every
// event starts in the year 2000, a leap year, so that 29 February exists in
// it.

#include <cstdio>
#include <ctime>

#include "contacts/uid.h"
#include "model/kinroll.h"

/// The year every birthday event starts in.
inline constexpr int kBirthdayYear = 2000;

/// A day of the year.
struct Birthday {
  int month = 0;  ///< 1-12
  int day = 0;    ///< 1-31
};

/// The birthday of `mem`: the day and month of the directory (`bday`,
/// `bmonth`) when they make a date, else those of the record-number list's
/// birth date (`birth`, "DD Mon YY") when that makes one. A date makes one
/// when its day is two digits, its month an abbreviation "Jan" to "Dec",
/// and the day exists in that month of a leap year. False, with `*out`
/// unchanged, when neither does.
bool member_birthday(const WardMember* mem, Birthday* out);

/// True when `mem` gets a birthday event: it has a birthday and its first
/// name is not bracketed (a bracketed name is left out of the phone
/// entries, and so out of the calendar beside them).
bool has_birthday_event(const WardMember* mem);

/// Writes the calendar of the members of `list` (cross-reference families'
/// members too) that have_birthday_event, in list order, to `fp`: the
/// VCALENDAR with VERSION, PRODID and CALSCALE, and one VEVENT each with
///   UID      from `uids`
///   DTSTAMP  `stamp`, in UTC
///   DTSTART  the birthday in the year 2000, VALUE=DATE (a whole day)
///   RRULE    FREQ=YEARLY; for 29 February FREQ=YEARLY;BYMONTHDAY=-1;
///            BYMONTH=2, the last day of February, so that the event is
///            there in the years without a 29 February too
///   SUMMARY  "Birthday: " and the member's first and last names
///   TRANSP   TRANSPARENT (a birthday keeps no one busy)
/// Texts are made UTF-8 from the printout's Latin-1; every line is folded
/// by write_content_line. Returns the number of events written.
int write_ward_birthdays(const WardFamily* list, FILE* fp, std::time_t stamp, UidMaker& uids);
