// Birthdays: the day and month from the directory or else from the record
// number list, only dates that exist; the calendar with one yearly all-day
// event per member, 29 February on the last day of February, and no birth
// year anywhere.

#include "contacts/birthdays.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/arena.h"
#include "support/capture.h"

namespace {

using testsupport::add_family;
using testsupport::capture;

const std::string kKey = "kinroll-contacts test key, not a secret: 0123456789";
constexpr std::time_t kStamp = 1713052800;  // 14 Apr 2024 00:00:00 UTC

class Birthdays : public testing::Test {
 protected:
  Birthdays() : scope_(arena_) {}

  /// A member born on `bday` `bmonth` `byear` as the directory prints them.
  static WardMember* add(WardFamily* fam, int type, const char* fname, const char* bday,
                         const char* bmonth, const char* recno = nullptr) {
    WardMember* mem = create_ward_member();
    mem->type = type;
    mem->fname = Text(fname);
    mem->recno = Text(recno);
    std::strcpy(mem->bday, bday);
    std::strcpy(mem->bmonth, bmonth);
    std::strcpy(mem->byear, bday[0] != '\0' ? "72" : "");
    mem->age = 52;
    append_member(fam, mem);
    return mem;
  }

  static Birthday of(const WardMember* mem) {
    Birthday b;
    EXPECT_TRUE(member_birthday(mem, &b)) << mem->fname.c_str();
    return b;
  }

  Arena arena_;
  ArenaScope scope_;
  WardFamily* list_ = nullptr;
};

TEST_F(Birthdays, FromTheDirectoryOrElseTheRecordNumberList) {
  WardFamily* fam = add_family(list_, "KIMBALL", "Nathan");
  WardMember* nathan = add(fam, 1, "Nathan", "27", "Jun");
  EXPECT_EQ(of(nathan).month, 6);
  EXPECT_EQ(of(nathan).day, 27);

  // The directory gave no date ("Missing Birthday"): the record number
  // list's birth date serves.
  WardMember* emily = add(fam, 2, "Emily", "", "");
  emily->birth = Text("18 Oct 80");
  EXPECT_EQ(of(emily).month, 10);
  EXPECT_EQ(of(emily).day, 18);

  // The directory wins where both have one.
  nathan->birth = Text("01 Jan 79");
  EXPECT_EQ(of(nathan).month, 6);

  // A directory date that does not exist gives way too.
  WardMember* jacob = add(fam, 3, "Jacob", "31", "Apr");
  jacob->birth = Text("05 Mar 05");
  EXPECT_EQ(of(jacob).month, 3);
  EXPECT_EQ(of(jacob).day, 5);
}

TEST_F(Birthdays, OnlyDatesThatExist) {
  WardFamily* fam = add_family(list_, "MORTENSEN", "David");
  Birthday b{7, 7};
  for (auto [day, month] : {std::pair{"31", "Apr"},
                            {"30", "Feb"},
                            {"00", "Mar"},
                            {"32", "Jan"},
                            {"1 ", "Mar"},
                            {"12", "mar"},
                            {"12", "Mrz"},
                            {"", ""}}) {
    WardMember* mem = add(fam, 3, "Child", day, month);
    EXPECT_FALSE(member_birthday(mem, &b)) << day << month;
  }
  EXPECT_EQ(b.month, 7);  // unchanged
  WardMember* odd = add(fam, 3, "Odd", "", "");
  for (const char* birth : {"", "1 Mar 05", "05-Mar-05", "05 Ma", "31 Jun 70"}) {
    odd->birth = Text(birth);
    EXPECT_FALSE(member_birthday(odd, &b)) << birth;
  }
  odd->birth = Text("05 Mar");  // no year, but day and month are there
  EXPECT_TRUE(member_birthday(odd, &b));
  EXPECT_EQ(of(add(fam, 3, "Leap", "29", "Feb")).day, 29);
  EXPECT_EQ(of(add(fam, 3, "Last", "31", "Dec")).month, 12);
}

TEST_F(Birthdays, BracketedNamesGetNoEvent) {
  WardFamily* fam = add_family(list_, "BRANDVOLD", "Marjorie");
  EXPECT_FALSE(has_birthday_event(add(fam, 1, "[Dale]", "22", "Aug")));
  EXPECT_TRUE(has_birthday_event(add(fam, 2, "Marjorie", "03", "Jan")));
  EXPECT_FALSE(has_birthday_event(add(fam, 3, "Nobody", "", "")));
}

TEST_F(Birthdays, TheCalendar) {
  WardFamily* fam = add_family(list_, "ABERNATHY", "Gordon");
  add(fam, 1, "Gordon", "11", "Mar", "041-2287-5530");
  add(fam, 2, "[Linda]", "29", "Sep", "041-2287-5549");
  add(fam, 3, "Peter", "29", "Feb", "052-1190-4498");
  WardMember* oliver = add(fam, 3, "Oliver", "", "", "999-9999-0001");
  oliver->birth = Text("02 Feb 24");
  add(fam, 3, "Ruth", "31", "Apr", "083-6604-1160");
  WardFamily* see = add_family(list_, "WHITAKER", nullptr);
  see->sname = Text("ABERNATHY");
  WardFamily* muller = add_family(list_, "M\xdcLLER", "Jos\xe9");
  add(muller, 3, "Ren\351e, Jr.", "15", "Aug", "101-1111-0003");  // \351 is é in Latin-1

  UidMaker uids(kKey);
  int events = 0;
  std::string text =
      capture([&](FILE* fp) { events = write_ward_birthdays(list_, fp, kStamp, uids); });
  EXPECT_EQ(events, 4);
  EXPECT_EQ(text,
            "BEGIN:VCALENDAR\r\n"
            "VERSION:2.0\r\n"
            "PRODID:-//Kinroll//kinroll-contacts//EN\r\n"
            "CALSCALE:GREGORIAN\r\n"
            "BEGIN:VEVENT\r\n"
            "UID:1ce08b46-9f7e-8c23-9bee-5966692bbbfe\r\n"
            "DTSTAMP:20240414T000000Z\r\n"
            "DTSTART;VALUE=DATE:20000311\r\n"
            "RRULE:FREQ=YEARLY\r\n"
            "SUMMARY:Birthday: Gordon ABERNATHY\r\n"
            "TRANSP:TRANSPARENT\r\n"
            "END:VEVENT\r\n"
            "BEGIN:VEVENT\r\n"
            "UID:f1c626b9-498a-8ebd-af22-89d439674d61\r\n"
            "DTSTAMP:20240414T000000Z\r\n"
            "DTSTART;VALUE=DATE:20000229\r\n"
            "RRULE:FREQ=YEARLY;BYMONTHDAY=-1;BYMONTH=2\r\n"
            "SUMMARY:Birthday: Peter ABERNATHY\r\n"
            "TRANSP:TRANSPARENT\r\n"
            "END:VEVENT\r\n"
            "BEGIN:VEVENT\r\n"
            "UID:0bd0892c-f650-82ea-8382-904db131e9b1\r\n"
            "DTSTAMP:20240414T000000Z\r\n"
            "DTSTART;VALUE=DATE:20000202\r\n"
            "RRULE:FREQ=YEARLY\r\n"
            "SUMMARY:Birthday: Oliver ABERNATHY\r\n"
            "TRANSP:TRANSPARENT\r\n"
            "END:VEVENT\r\n"
            "BEGIN:VEVENT\r\n"
            "UID:4d2143fa-fd07-845a-ab2f-f2f667c66a2a\r\n"
            "DTSTAMP:20240414T000000Z\r\n"
            "DTSTART;VALUE=DATE:20000815\r\n"
            "RRULE:FREQ=YEARLY\r\n"
            "SUMMARY:Birthday: Ren\303\251e\\, Jr. M\xc3\x9cLLER\r\n"
            "TRANSP:TRANSPARENT\r\n"
            "END:VEVENT\r\n"
            "END:VCALENDAR\r\n");
  // No birth year: every start is in 2000, whatever the member's year.
  for (size_t at = text.find("DATE:"); at != std::string::npos; at = text.find("DATE:", at + 1)) {
    EXPECT_EQ(text.compare(at, 9, "DATE:2000"), 0) << text.substr(at, 13);
  }
}

TEST_F(Birthdays, ALongNameOfCommasIsFoldedBetweenEscapesWithWholeLineEnds) {
  // libical's own fold put this line's CR and LF on two lines.
  WardFamily* fam = add_family(list_, "X" + std::string(36, ','), "");
  add(fam, 1, "", "01", "Jan", "041-2287-5530");
  UidMaker uids(kKey);
  std::string text = capture([&](FILE* fp) { write_ward_birthdays(list_, fp, kStamp, uids); });
  std::string escaped;
  for (int i = 0; i < 36; ++i) escaped += "\\,";
  EXPECT_NE(text.find("\r\nSUMMARY:Birthday: X" + escaped.substr(0, 56) + "\r\n " +
                      escaped.substr(56) + "\r\nTRANSP:"),
            std::string::npos)
      << text;
}

TEST_F(Birthdays, AListWithoutBirthdaysIsAnEmptyCalendar) {
  WardFamily* fam = add_family(list_, "GREENHALGH", "Margaret");
  add(fam, 1, "Margaret", "", "");
  UidMaker uids(kKey);
  std::string text = capture([&](FILE* fp) { write_ward_birthdays(list_, fp, kStamp, uids); });
  EXPECT_EQ(text,
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Kinroll//kinroll-contacts//EN\r\n"
            "CALSCALE:GREGORIAN\r\nEND:VCALENDAR\r\n");
}

}  // namespace
