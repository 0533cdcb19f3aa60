// The changes report and its CSV file: one small pair of lists with a change
// of every kind, the texts written out by hand; and how names, addresses
// and ages are shown.

#include "changes/report.h"

#include <gtest/gtest.h>

#include <string>

#include "changes/build.h"
#include "changes/describe.h"
#include "model/warderr.h"
#include "support/capture.h"

namespace {

using changestest::household;
using changestest::member;
using testsupport::capture;

/// A household's address lines.
void place(WardFamily* f, const char* addr, const char* addr2, const char* city, const char* state,
           const char* zip, const char* zip2) {
  f->addr = addr;
  f->addr2 = addr2;
  f->city = city;
  f->state = state;
  f->zip = zip;
  f->zip2 = zip2;
}

/// Older and newer lists with a change of every kind.
struct EveryKind {
  WardFamily* before = nullptr;
  WardFamily* now = nullptr;

  EveryKind() {
    WardFamily* abbot = household(before, "ABBOT", {{"Gil", "1", "", 40}, {"Fay", "2", "", 38, 2}});
    place(abbot, "5 Oak St", nullptr, "Elmton", "UT", "84001", nullptr);
    abbot->phone = "555-0101";
    WardFamily* hale = household(before, "HALE", {{"Ron", "3", "", 50}, {"Dee", "4", "", 20},
                                                  {"Kip", "5", "", 10}, {"Bo", "8", "", 5}});
    place(hale, "9 Fir Rd", "Unit 2", "Elmton", "UT", "84001", "1234");
    household(before, "MOSS", {{"Lee", "6", "", 30}});

    WardFamily* hale2 = household(now, "HALE", {{"Ron", "3", "", 50}, {"Kip", "5", "", 10},
                                                {"Newb", "", "01May24", 0}});
    place(hale2, "9 Fir Rd", nullptr, "Elmton", "UT", "84001", "1234");
    hale2->phone = "555-0199";
    household(now, "MOSS", {{"Lee", "6", "", 30}, {"Dee", "4", "", 20, 2}});
    WardFamily* ortiz = household(now, "ORTIZ", {{"Rey", "7", "", 33}});
    add_fam_err(ortiz, "No address");
    add_mem_err(ortiz->members, "Invalid sex");
  }
};

TEST(ChangesReport, EveryKindInItsSection) {
  EveryKind w;
  WardChange* changes = compare_directories(match_directories(w.before, w.now));
  std::string out = capture([&](FILE* fp) { write_changes_report(changes, "old.txt", "new.txt", fp); });
  EXPECT_EQ(out,
            "Changes from old.txt to new.txt\n"
            "\n"
            "Families moved in: 1\n"
            "  ORTIZ, Rey\n"
            "    Address: (none)\n"
            "    Phone: (none)\n"
            "    Members: Rey (33)\n"
            "\n"
            "Families moved out: 1\n"
            "  ABBOT, Gil\n"
            "    Address: 5 Oak St, Elmton, UT 84001\n"
            "    Phone: 555-0101\n"
            "    Members: Gil (40), Fay (38)\n"
            "\n"
            "Members added to a family: 1\n"
            "  HALE, Newb (newborn, born 01May24) in HALE, Ron\n"
            "\n"
            "Members gone from a family: 1\n"
            "  HALE, Bo (5) from HALE, Ron\n"
            "\n"
            "Members moved to another family: 1\n"
            "  MOSS, Dee (20): HALE, Ron -> MOSS, Lee\n"
            "\n"
            "Addresses changed: 1\n"
            "  HALE, Ron\n"
            "    Old: 9 Fir Rd, Unit 2, Elmton, UT 84001-1234\n"
            "    New: 9 Fir Rd, Elmton, UT 84001-1234\n"
            "\n"
            "Phones changed: 1\n"
            "  HALE, Ron: (none) -> 555-0199\n"
            "\n"
            "Names changed: 1\n"
            "  4: HALE, Dee -> MOSS, Dee\n"
            "\n"
            "New data-quality notes: 2\n"
            "  Family ORTIZ, Rey: No address\n"
            "  Member ORTIZ, Rey: Invalid sex\n");
}

TEST(ChangesReport, NothingChangedIsOneLine) {
  std::string out = capture([](FILE* fp) { write_changes_report(nullptr, "a", "b", fp); });
  EXPECT_EQ(out, "No changes\n");
}

TEST(ChangesCsv, OneRowPerChangeInReportOrder) {
  EveryKind w;
  WardChange* changes = compare_directories(match_directories(w.before, w.now));
  std::string out = capture([&](FILE* fp) { write_changes_csv(changes, fp); });
  EXPECT_EQ(out,
            "Kind,Family,Member,RecordNo,Old,New\n"
            "moved-in,\"ORTIZ, Rey\",,7,,\n"
            "moved-out,\"ABBOT, Gil\",,1,\"5 Oak St, Elmton, UT 84001; 555-0101\",\n"
            "added,\"HALE, Ron\",\"HALE, Newb\",,,\"newborn, born 01May24\"\n"
            "gone,\"HALE, Ron\",\"HALE, Bo\",8,5,\n"
            "moved,\"MOSS, Lee\",\"MOSS, Dee\",4,\"HALE, Ron\",\"MOSS, Lee\"\n"
            "address,\"HALE, Ron\",,3,\"9 Fir Rd, Unit 2, Elmton, UT 84001-1234\","
            "\"9 Fir Rd, Elmton, UT 84001-1234\"\n"
            "phone,\"HALE, Ron\",,3,,555-0199\n"
            "name,\"MOSS, Lee\",\"MOSS, Dee\",4,\"HALE, Dee\",\"MOSS, Dee\"\n"
            "note,\"ORTIZ, Rey\",,7,,\"No address\"\n"
            "note,\"ORTIZ, Rey\",\"ORTIZ, Rey\",7,,\"Invalid sex\"\n");
}

TEST(ChangesCsv, QuotesDoubledAndPseudoNumbersLeftOut) {
  WardFamily* now = nullptr;
  household(now, "O\"NEIL", {{"Al", "999-9999-0001"}});
  WardChange* changes = compare_directories(match_directories(nullptr, now));
  std::string out = capture([&](FILE* fp) { write_changes_csv(changes, fp); });
  EXPECT_EQ(out, "Kind,Family,Member,RecordNo,Old,New\nmoved-in,\"O\"\"NEIL, Al\",,,,\n");
  EXPECT_EQ(capture([](FILE* fp) { write_changes_csv(nullptr, fp); }),
            "Kind,Family,Member,RecordNo,Old,New\n");
}

TEST(ChangesDescribe, NamesAddressesAndAges) {
  WardFamily fam;
  fam.lname = "VOSS";
  EXPECT_EQ(family_name(&fam), "VOSS");
  fam.fname = "";
  EXPECT_EQ(family_name(&fam), "VOSS");
  fam.fname = "Ida";
  EXPECT_EQ(family_name(&fam), "VOSS, Ida");

  EXPECT_EQ(address_line(&fam), "");
  fam.city = "Elmton";
  fam.zip = "84001";
  EXPECT_EQ(address_line(&fam), "Elmton 84001");
  fam.city.reset();
  fam.state = "UT";
  EXPECT_EQ(address_line(&fam), "UT 84001");
  fam.addr2 = "Box 7";
  fam.zip2 = "0042";
  EXPECT_EQ(address_line(&fam), "Box 7, UT 84001-0042");

  WardMember mem;
  mem.lname = "VOSS";
  mem.fname = "Una";
  EXPECT_EQ(member_name(&mem), "VOSS, Una");
  EXPECT_EQ(age_note(&mem), "");  // neither age nor birth date printed
  mem.bday[0] = '0';
  mem.bday[1] = '3';
  mem.bmonth[0] = 'M';
  mem.bmonth[1] = 'a';
  mem.bmonth[2] = 'y';
  EXPECT_EQ(birth_date(&mem), "03May");  // no year printed
  EXPECT_EQ(age_note(&mem), "newborn, born 03May");
  mem.age = 7;
  EXPECT_EQ(age_note(&mem), "7");
}

}  // namespace
