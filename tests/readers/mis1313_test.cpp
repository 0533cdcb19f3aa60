// Teaching report reader and its merge into the ward list.

#include "readers/mis1313.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/capture.h"

namespace {

using testsupport::add_family;

std::string pad(std::string s, size_t width) {
  s.resize(width, ' ');
  return s;
}

/// One entry of the report as its two printed lines.
struct Entry {
  std::string name = "";              ///< columns 0-30, "LAST, First"
  char group = 'E';              ///< column 31
  std::string sup = "  1";       ///< columns 34-36
  std::string dist = "  2 ";     ///< columns 37-40
  std::string teacher = "";           ///< columns 41-71
  std::string tphone = "";            ///< columns 72-92
  std::string phone = "";             ///< second line, columns 3-30
  std::string comp = "";              ///< second line, columns 41-71
  std::string cphone = "";            ///< second line, columns 72-92
  std::string marks = "VVVVVVVVVVVV";  ///< second line, columns 93-104

  std::string first() const {
    return pad(name, 31) + group + "  " + pad(sup, 3) + pad(dist, 4) + pad(teacher, 31) +
           pad(tphone, 21) + std::string(12, ' ') + "\n";
  }
  std::string second() const {
    return "   " + pad(phone, 28) + std::string(10, ' ') + pad(comp, 31) + pad(cphone, 21) +
           marks + "\n";
  }
  std::string lines() const { return first() + second(); }
};

const std::string kHtHeader = "FAMILIES AND THEIR HOME TEACHERS (MIS 1313)      Page 1\n";
const std::string kVtHeader = "\fSISTERS AND THEIR VISITING TEACHERS (MIS 1413)   Page 1\n";
const std::string kSixLines = "Ward\nStake\n\nName   Grp Sup Dist\n---\n\n";

WardFamily* read_text(const std::string& text) {
  FILE* fp = std::tmpfile();
  std::fputs(text.c_str(), fp);
  std::rewind(fp);
  WardFamily* list = read_mis1313(fp);
  std::fclose(fp);
  return list;
}

int count(const WardFamily* list) {
  int n = 0;
  for (; list != nullptr; list = list->next) ++n;
  return n;
}

TEST(Mis1313, ReadsBothLinesOfAnEntry) {
  Entry e{"SMITH,  John Q", 'H', " 12", " 7", "JONES, Bob", "555-0101", "555-0199",
          "BROWN, Al", "555-0102", "V-*L T      "};
  WardFamily* list = read_text(kHtHeader + kSixLines + e.lines());
  ASSERT_EQ(count(list), 1);
  EXPECT_EQ(list->lname, "SMITH");
  EXPECT_EQ(list->fname, "John Q");
  EXPECT_EQ(list->phone, "555-0199");
  EXPECT_EQ(list->htgroup, 3);
  EXPECT_EQ(list->htsup, 12);
  EXPECT_EQ(list->htdist, 7);
  EXPECT_EQ(list->htname, "JONES, Bob");
  EXPECT_EQ(list->htphone, "555-0101");
  EXPECT_EQ(list->htcomp, "BROWN, Al");
  EXPECT_EQ(list->htcomph, "555-0102");
  // V, '-', '*', L, blank, T and six blanks; 10 months count, 3 contacts.
  EXPECT_EQ(list->htvisits, "V--LxTxxxxxx");
  EXPECT_EQ(list->htpct, 30);
  EXPECT_EQ(list->vtgroup, 0);
  EXPECT_FALSE(list->vtname);
  EXPECT_FALSE(list->vtvisits);
  EXPECT_EQ(list->members, nullptr);
  EXPECT_FALSE(list->recno);
}

TEST(Mis1313, VisitMarks) {
  Mis1313Visits v = mis1313_visits(std::string(93, ' ') + "V-*L T      ");
  EXPECT_STREQ(v.marks, "V--LxTxxxxxx");
  EXPECT_EQ(v.expected, 10);
  EXPECT_EQ(v.made, 3);
  // 93 characters: no marks at all, every month without contact.
  v = mis1313_visits(std::string(93, ' '));
  EXPECT_STREQ(v.marks, "xxxxxxxxxxxx");
  EXPECT_EQ(v.made, 0);
  // A short tail is filled with blanks; other characters stay and count as
  // months without contact.
  v = mis1313_visits(std::string(93, ' ') + "TQ\t");
  EXPECT_STREQ(v.marks, "TQxxxxxxxxxx");
  EXPECT_EQ(v.expected, 12);
  EXPECT_EQ(v.made, 1);
  v = mis1313_visits(std::string(93, ' ') + "************");
  EXPECT_STREQ(v.marks, "------------");
  EXPECT_EQ(v.expected, 0);
}

TEST(Mis1313, NumbersRunOnIntoTheNextColumns) {
  EXPECT_EQ(mis1313_number("  4  12 ", 0), 4);
  EXPECT_EQ(mis1313_number("       12 ", 0), 12);
  EXPECT_EQ(mis1313_number("  x12", 0), 0);
  EXPECT_EQ(mis1313_number("12", 5), 0);
  EXPECT_EQ(mis1313_number("99999999999999", 0), 2147483647);

  Entry blank_sup{"A, One", 'E', "   ", " 11 "};
  Entry no_digits{"B, Two", 'E', "  3", " -- "};
  Entry wide{"C, Three", 'E', "123", "4567"};
  WardFamily* list = read_text(blank_sup.lines() + no_digits.lines() + wide.lines());
  ASSERT_EQ(count(list), 3);
  EXPECT_EQ(list->htsup, 11);
  EXPECT_EQ(list->htdist, 11);
  EXPECT_EQ(list->next->htsup, 3);
  EXPECT_EQ(list->next->htdist, 0);
  EXPECT_EQ(list->next->next->htsup, 1234567);  // the district follows without a blank
  EXPECT_EQ(list->next->next->htdist, 4567);
}

TEST(Mis1313, GroupCodes) {
  EXPECT_EQ(mis1313_group(' '), 1);
  EXPECT_EQ(mis1313_group('E'), 2);
  EXPECT_EQ(mis1313_group('H'), 3);
  EXPECT_EQ(mis1313_group('R'), 5);
  EXPECT_EQ(mis1313_group('e'), 0);
  EXPECT_EQ(mis1313_group('N'), 0);

  Entry high{"A, One", 'H'};
  Entry unknown{"B, Two", 'Q'};
  WardFamily* list = read_text(high.lines() + unknown.lines());
  ASSERT_EQ(count(list), 2);
  EXPECT_EQ(list->htgroup, 3);
  // Not the previous entry's group.
  EXPECT_EQ(list->next->htgroup, 0);
}

TEST(Mis1313, VisitsGoByGroupPercentOnlyWhenMonthsCount) {
  Entry rs{"A, One", 'R'};
  rs.marks = "VVxxxxxxxxxx";
  Entry none{"B, Two", ' '};
  none.marks = "************";
  Entry short_second{"C, Three", 'E'};
  std::string text = rs.lines() + none.lines() + short_second.first() +
                     short_second.second().substr(0, 93) + "\n";
  WardFamily* list = read_text(text);
  ASSERT_EQ(count(list), 3);
  // An 'R' entry of a home-teaching report: numbers to ht, visits to vt.
  EXPECT_EQ(list->htgroup, 5);
  EXPECT_EQ(list->htsup, 1);
  EXPECT_EQ(list->htdist, 2);
  EXPECT_FALSE(list->htvisits);
  EXPECT_EQ(list->vtvisits, "VVxxxxxxxxxx");
  EXPECT_EQ(list->vtpct, 16);
  EXPECT_EQ(list->htpct, 0);
  // Nothing counts: the string is kept, the percentage is not set.
  EXPECT_EQ(list->next->htvisits, "------------");
  EXPECT_EQ(list->next->htpct, 0);
  const WardFamily* third = list->next->next;
  EXPECT_EQ(third->htvisits, "xxxxxxxxxxxx");
  EXPECT_EQ(third->htpct, 0);
}

TEST(Mis1313, VisitingTeachingStartsAtItsPageHeader) {
  Entry elder{"A, One", 'E'};
  Entry sister{"B, Two", 'R', "  4", "  9 ", "C, Ann", "555-0001", "", "D, Eve", "555-0002",
               "VT          "};
  Entry nogroup{"E, Three", ' ', "  5", "  6 "};
  nogroup.marks = "L           ";
  Entry high{"F, Four", 'H'};
  WardFamily* list = read_text(kHtHeader + kSixLines + elder.lines() + kVtHeader + kSixLines +
                               sister.lines() + nogroup.lines() + kHtHeader + kSixLines +
                               high.lines());
  ASSERT_EQ(count(list), 4);
  EXPECT_EQ(list->htgroup, 2);
  EXPECT_EQ(list->htvisits, "VVVVVVVVVVVV");
  EXPECT_EQ(list->htpct, 100);

  const WardFamily* b = list->next;
  EXPECT_EQ(b->vtgroup, 5);
  EXPECT_EQ(b->vtsup, 4);
  EXPECT_EQ(b->vtdist, 9);
  EXPECT_EQ(b->vtname, "C, Ann");
  EXPECT_EQ(b->vtphone, "555-0001");
  EXPECT_EQ(b->vtcomp, "D, Eve");
  EXPECT_EQ(b->vtcomph, "555-0002");
  EXPECT_EQ(b->vtvisits, "VTxxxxxxxxxx");
  EXPECT_EQ(b->vtpct, 16);
  EXPECT_EQ(b->htgroup, 0);
  EXPECT_FALSE(b->htname);
  // The family phone is read only when column 3 is not blank.
  EXPECT_FALSE(b->phone);

  // Any other group follows the report kind.
  const WardFamily* e = b->next;
  EXPECT_EQ(e->vtgroup, 1);
  EXPECT_EQ(e->vtvisits, "Lxxxxxxxxxxx");
  EXPECT_EQ(e->vtpct, 8);
  EXPECT_FALSE(e->htvisits);

  // Once visiting teaching, always: a later home-teaching header changes
  // nothing, but a high priest's visits still go to the ht fields.
  const WardFamily* f = e->next;
  EXPECT_EQ(f->vtgroup, 3);
  EXPECT_EQ(f->htvisits, "VVVVVVVVVVVV");
  EXPECT_FALSE(f->vtvisits);
}

TEST(Mis1313, PageLinesAndShortLinesAreSkipped) {
  Entry a{"A, One"};
  std::string footer = std::string(44, ' ') + "For church use only" + std::string(60, ' ') + "\n";
  // The six lines after a header are skipped even when long.
  std::string long_lines;
  for (int i = 0; i < 6; ++i) long_lines += a.first();
  WardFamily* list = read_text(kHtHeader + long_lines + footer + "short line\n" +
                               std::string(104, 'x') + "\n" + a.lines());
  ASSERT_EQ(count(list), 1);
  EXPECT_EQ(list->lname, "A");
  EXPECT_EQ(list->fname, "One");

  // A header at the end of the file ends the read.
  EXPECT_EQ(read_text(kHtHeader + "Ward\n"), nullptr);
  EXPECT_EQ(read_text(""), nullptr);
}

TEST(Mis1313, EntryEndedByTheFileKeepsItsFirstLine) {
  Entry a{"A, One", 'H', "  2", "  3 ", "T, Tom", "555-0009"};
  a.phone = "555-0001";
  WardFamily* list = read_text(a.lines() + a.first());
  ASSERT_EQ(count(list), 2);
  const WardFamily* last = list->next;
  EXPECT_EQ(last->htgroup, 3);
  EXPECT_EQ(last->htname, "T, Tom");
  EXPECT_EQ(last->htphone, "555-0009");
  EXPECT_FALSE(last->phone);
  EXPECT_FALSE(last->htvisits);
}

TEST(Mis1313, NamesAndPhones) {
  // A teacher's phone needs a teacher; the names end at column 30.
  Entry no_teacher{"LONGNAME,FirstNamesReachTheEnd", 'E', "  1", "  1 ", "", "555-0009"};
  no_teacher.cphone = "555-0008";
  // No comma in the name column: all family name, no first names.
  Entry no_comma{"NOCOMMA", 'E', "  1", "  1 ", "T, Tom"};
  WardFamily* list = read_text(no_teacher.lines() + no_comma.lines());
  ASSERT_EQ(count(list), 2);
  EXPECT_EQ(list->lname, "LONGNAME");
  EXPECT_EQ(list->fname, "FirstNamesReachTheEnd");
  EXPECT_FALSE(list->htname);
  EXPECT_FALSE(list->htphone);
  EXPECT_FALSE(list->htcomp);
  EXPECT_FALSE(list->htcomph);
  EXPECT_EQ(list->next->lname, "NOCOMMA");
  EXPECT_FALSE(list->next->fname);
  EXPECT_EQ(list->next->htname, "T, Tom");
}

// --- Merge -------------------------------------------------------------

WardMember* add_member(WardFamily* fam, const char* fname, const char* recno) {
  WardMember* mem = create_ward_member();
  mem->fname = fname;
  mem->recno = recno;
  append_member(fam, mem);
  return mem;
}

WardFamily* entry(WardFamily*& list, const char* lname, const char* fname, Text phone) {
  return add_family(list, lname, fname, phone);
}

TEST(FindFamilyMis1313, PhoneDecidesAmongFamiliesOfTheName) {
  WardFamily* ward = nullptr;
  WardFamily* first = add_family(ward, "SMITH", "John", "555-0001");
  WardFamily* second = add_family(ward, "Smith", "Anne", "555-0002");
  WardFamily* nophone = add_family(ward, "SMITH", "Carl");
  add_family(ward, "JONES", "Al", "555-0003");
  WardFamily* entries = nullptr;
  WardFamily* e = entry(entries, "smith", "X", "555-0002");

  std::string err;
  testing::internal::CaptureStderr();
  EXPECT_EQ(find_family_mis1313(ward, e), second);
  e->phone = Text();
  EXPECT_EQ(find_family_mis1313(ward, e), nophone);
  // Neither phone matches: the last family of the name, with one message.
  e->phone = "555-9999";
  EXPECT_EQ(find_family_mis1313(ward, e), nophone);
  nophone->phone = "";  // empty is not absent
  e->phone = Text();
  EXPECT_EQ(find_family_mis1313(ward, e), nophone);
  e->lname = "BROWN";
  EXPECT_EQ(find_family_mis1313(ward, e), nullptr);
  err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "Phone numbers don't match for HT/VT family 'smith, X'\n"
            "Phone numbers don't match for HT/VT family 'smith, X'\n");
  (void)first;
}

TEST(Merge1313, CopiesTheAssignmentBothWays) {
  WardFamily* ward = nullptr;
  WardFamily* smith = add_family(ward, "SMITH", "John", "555-0001");
  smith->recno = "1-1";
  add_member(smith, "John", "1-1");
  WardFamily* jones = add_family(ward, "JONES", "Bob", "555-0101");
  jones->recno = "2-1";
  add_member(jones, "Bob", "2-1");
  WardFamily* brown = add_family(ward, "BROWN", "Al", "555-0102");
  add_member(brown, "Al", "3-1");

  Entry e{"Smith, John", 'H', "  3", "  4 ", "JONES, Bob", "555-0101", "555-0001",
          "BROWN, Al", "555-0102", "VVxxxxxxxxxx"};
  Entry missing{"GREEN, Gus", 'E', "  1", "  1 ", "JONES, Bob", "555-0101"};
  WardFamily* list = read_text(e.lines() + missing.lines());
  ASSERT_EQ(count(list), 2);

  testing::internal::CaptureStderr();
  merge_1313(ward, list);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can't find HT/VT family 'GREEN, Gus'\n");

  EXPECT_EQ(smith->htgroup, 3);
  EXPECT_EQ(smith->htsup, 3);
  EXPECT_EQ(smith->htdist, 4);
  EXPECT_EQ(smith->htname, "JONES, Bob");
  EXPECT_EQ(smith->htphone, "555-0101");
  EXPECT_EQ(smith->htid, "2-1");
  EXPECT_EQ(smith->htcomp, "BROWN, Al");
  EXPECT_EQ(smith->htcomph, "555-0102");
  EXPECT_EQ(smith->htcompid, "3-1");
  EXPECT_EQ(smith->htvisits, "VVxxxxxxxxxx");
  EXPECT_EQ(smith->htpct, 16);
  EXPECT_FALSE(smith->vtname);
  // Back onto the entry.
  EXPECT_EQ(list->recno, "1-1");
  EXPECT_EQ(list->htid, "2-1");
  EXPECT_EQ(list->htcompid, "3-1");
  EXPECT_FALSE(list->vtid);
  // The unmatched entry is left as read.
  EXPECT_FALSE(list->next->recno);
  EXPECT_FALSE(list->next->htid);
}

TEST(Merge1313, ZerosAndEmptyValuesKeepEarlierOnes) {
  WardFamily* ward = nullptr;
  WardFamily* smith = add_family(ward, "SMITH", "John", "555-0001");
  smith->htgroup = 2;
  smith->htsup = 7;
  smith->htdist = 8;
  smith->htpct = 40;
  smith->vtpct = 60;
  smith->vtdist = 3;

  WardFamily* entries = nullptr;
  WardFamily* e = entry(entries, "SMITH", "John", "555-0001");
  e->htgroup = 3;  // sup and dist 0
  e->vtdist = 5;   // the ht value is 0, so the vt value counts
  e->htvisits = "xxxxxxxxxxxx";
  e->vtname = "DOE, Jane";  // no ht teacher: the vt one
  e->vtphone = "555-0500";
  merge_1313(ward, entries);
  EXPECT_EQ(smith->htgroup, 3);
  EXPECT_EQ(smith->htsup, 7);
  EXPECT_EQ(smith->htdist, 8);
  EXPECT_EQ(smith->vtdist, 5);
  EXPECT_EQ(smith->htpct, 40);  // 0 is not copied
  EXPECT_EQ(smith->vtpct, 60);
  EXPECT_EQ(smith->htvisits, "xxxxxxxxxxxx");
  EXPECT_EQ(smith->vtname, "DOE, Jane");
  EXPECT_EQ(smith->vtphone, "555-0500");
  EXPECT_FALSE(smith->vtid);  // no such member: no identifier, no message
  EXPECT_FALSE(e->recno);

  // A later entry for the same family overwrites field by field.
  WardFamily* more = nullptr;
  WardFamily* e2 = entry(more, "SMITH", "John", "555-0001");
  e2->vtname = "ROE, Ann";
  e2->vtpct = 75;
  merge_1313(ward, more);
  EXPECT_EQ(smith->vtname, "ROE, Ann");
  EXPECT_FALSE(smith->vtphone);
  EXPECT_EQ(smith->vtpct, 75);
  EXPECT_EQ(smith->htgroup, 3);
}

}  // namespace
