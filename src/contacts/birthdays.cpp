#include "contacts/birthdays.h"

#include <libical/ical.h>

#include <new>
#include <string>
#include <string_view>

#include "contacts/vtext.h"
#include "model/splitfld.h"
#include "tools/utf8.h"

namespace {

/// Days of each month in a leap year.
constexpr int kLeapMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

/// The date of a two-digit `day` and a month abbreviation `month`, when
/// they make one.
bool make_birthday(std::string_view day, std::string_view month, Birthday* out) {
  if (day.size() != 2 || !is_digit(day[0]) || !is_digit(day[1])) return false;
  int m = convert_month(month);
  int d = (day[0] - '0') * 10 + (day[1] - '0');
  if (m == 0 || d < 1 || d > kLeapMonthDays[m - 1]) return false;
  *out = {.month = m, .day = d};
  return true;
}

/// Writes the content lines libical made, `text`, folded anew, and
/// releases them.
void put_ical(FILE* fp, char* text) {
  if (text == nullptr) throw std::bad_alloc();
  write_content_lines(fp, text);
  icalmemory_free_buffer(text);
}

/// Writes one property of the calendar itself and releases it.
void put_property(FILE* fp, icalproperty* prop) {
  if (prop == nullptr) throw std::bad_alloc();
  put_ical(fp, icalproperty_as_ical_string_r(prop));
  icalproperty_free(prop);
}

/// "First Last" of `mem`, each name trimmed, an empty one left out.
std::string display_name(const WardMember* mem) {
  std::string_view first = trim_blanks(mem->fname.view());
  std::string_view last = trim_blanks(mem->lname.view());
  std::string name(first);
  if (!name.empty() && !last.empty()) name += ' ';
  name += last;
  return utf8_from_latin1(name);
}

/// The event of one member's birthday.
icalcomponent* birthday_event(const WardMember* mem, const Birthday& b, std::string_view uid,
                              icaltimetype stamp) {
  icalcomponent* ev = icalcomponent_new(ICAL_VEVENT_COMPONENT);
  if (ev == nullptr) throw std::bad_alloc();
  icalcomponent_add_property(ev, icalproperty_new_uid(std::string(uid).c_str()));
  icalcomponent_add_property(ev, icalproperty_new_dtstamp(stamp));
  icaltimetype start = icaltime_null_date();
  start.year = kBirthdayYear;
  start.month = b.month;
  start.day = b.day;
  icalcomponent_add_property(ev, icalproperty_new_dtstart(start));
  icalrecurrencetype rule = icalrecurrencetype_from_string(
      b.month == 2 && b.day == 29 ? "FREQ=YEARLY;BYMONTHDAY=-1;BYMONTH=2" : "FREQ=YEARLY");
  icalcomponent_add_property(ev, icalproperty_new_rrule(rule));
  std::string summary = "Birthday: " + display_name(mem);
  icalcomponent_add_property(ev, icalproperty_new_summary(summary.c_str()));
  icalcomponent_add_property(ev, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
  return ev;
}

}  // namespace

bool member_birthday(const WardMember* mem, Birthday* out) {
  if (make_birthday(mem->bday, mem->bmonth, out)) return true;
  std::string_view birth = mem->birth.view();
  return birth.size() >= 6 && birth[2] == ' ' &&
         make_birthday(birth.substr(0, 2), birth.substr(3, 3), out);
}

bool has_birthday_event(const WardMember* mem) {
  Birthday b;
  return !is_bracketed(mem->fname) && member_birthday(mem, &b);
}

int write_ward_birthdays(const WardFamily* list, FILE* fp, std::time_t stamp, UidMaker& uids) {
  icalerror_set_errors_are_fatal(0);
  icaltimetype dtstamp = icaltime_from_timet_with_zone(stamp, 0, icaltimezone_get_utc_timezone());
  std::fputs("BEGIN:VCALENDAR\r\n", fp);
  put_property(fp, icalproperty_new_version("2.0"));
  put_property(fp, icalproperty_new_prodid("-//Kinroll//kinroll-contacts//EN"));
  put_property(fp, icalproperty_new_calscale("GREGORIAN"));
  int events = 0;
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      Birthday b;
      if (is_bracketed(mem->fname) || !member_birthday(mem, &b)) continue;
      icalcomponent* ev = birthday_event(mem, b, uids.make(member_uid_source(fam, mem)), dtstamp);
      put_ical(fp, icalcomponent_as_ical_string_r(ev));
      icalcomponent_free(ev);
      ++events;
    }
  }
  std::fputs("END:VCALENDAR\r\n", fp);
  return events;
}
