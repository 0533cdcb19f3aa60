#include "readers/mis121.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "lists/unitnames.h"
#include "readers/wardorgs.h"
#include "support/capture.h"

namespace {

namespace fs = std::filesystem;
using testsupport::add_family;

/// Opens `text` as a read-only stream (kept alive by the caller).
FILE* open_text(const std::string& text) {
  return fmemopen(const_cast<char*>(text.data()), text.size(), "r");
}

/// `s` padded with blanks to `width` characters.
std::string pad(std::string s, size_t width) {
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

/// A MIS 121 position line: title in 0-32, holder from 34, date from 77,
/// phone from 88. Empty trailing parts end the line early.
std::string pos121(const std::string& title, const std::string& holder = "",
                   const std::string& date = "", const std::string& phone = "") {
  std::string line = title;
  if (!holder.empty() || !date.empty() || !phone.empty()) line = pad(line, 34) + holder;
  if (!date.empty() || !phone.empty()) line = pad(line, 77) + date;
  if (!phone.empty()) line = pad(line, 88) + phone;
  return line + "\n";
}

/// Reads `text` as a MIS 121 printout, capturing the error stream in `err`.
WardOrg* read121(const std::string& text, std::string* err = nullptr) {
  FILE* fp = open_text(text);
  testing::internal::CaptureStderr();
  WardOrg* org = read_mis121(fp);
  std::string msgs = testing::internal::GetCapturedStderr();
  if (err != nullptr) *err = msgs;
  std::fclose(fp);
  return org;
}

/// Loads the organisation table from `text`.
void load_table(const std::string& text) {
  fs::path path = fs::path(testing::TempDir()) / "mis121_test_wardorgs.txt";
  FILE* fp = std::fopen(path.c_str(), "w");
  std::fputs(text.c_str(), fp);
  std::fclose(fp);
  wardorgs_clear();
  ASSERT_GE(wardorgs_parse(path.c_str()), 0);
}

const char* const kTable =
    "BISHOPRIC|Bishopric|bish\n"
    "ELDERS QUORUM|Elders Quorum|eq\n"
    "RELIEF SOCIETY|Relief Society|rs\n";

int count_pos(const WardPos* p) {
  int n = 0;
  for (; p != nullptr; p = p->next) ++n;
  return n;
}

TEST(ReadMis121, OrganisationsFromTheTableAndHeadingsMissingFromIt) {
  load_table(kTable);
  std::string err;
  WardOrg* org = read121(std::string("Bishop                            ASHBY, Robert\n") +  // before any heading
                             "   BISHOPRIC  \n" +
                             pos121("Bishop", "ASHBY, Robert", "04 Jan 2022", "555-0101") +
                             "  ACTIVITIES   \n" +
                             "   \t  \n" +  // blank heading: skipped
                             " ACTIVITIES\n" +
                             pos121("Chair") +
                             "\tRELIEF SOCIETY\n",  // column 0 not blank: a position
                         &err);
  EXPECT_EQ(err,
            "Can't find organization (ACTIVITIES) in wardorgs.txt\n"
            "Can't find organization (ACTIVITIES) in wardorgs.txt\n");
  ASSERT_NE(org, nullptr);
  EXPECT_EQ(org->org, "Bishopric");
  EXPECT_EQ(org->abbr, "bish");
  EXPECT_EQ(org->org, wardorgs_name_for_hdr("BISHOPRIC"));
  ASSERT_EQ(count_pos(org->pos), 1);
  EXPECT_EQ(org->pos->org, org);

  WardOrg* act = org->next;
  ASSERT_NE(act, nullptr);
  EXPECT_EQ(act->org, "ACTIVITIES");
  EXPECT_EQ(act->abbr, "ACTIVITIES");
  EXPECT_EQ(act->pos, nullptr);  // a heading without positions

  WardOrg* act2 = act->next;
  ASSERT_NE(act2, nullptr);
  ASSERT_EQ(count_pos(act2->pos), 2);
  EXPECT_EQ(act2->pos->pos, "Chair");
  EXPECT_EQ(act2->pos->next->pos, "\tRELIEF SOCIETY");
  EXPECT_EQ(act2->next, nullptr);
}

TEST(ReadMis121, ReportWithoutHeadingGivesNothing) {
  load_table(kTable);
  EXPECT_EQ(read121(pos121("Bishop", "ASHBY, Robert") + pos121("Clerk")), nullptr);
  EXPECT_EQ(read121(""), nullptr);
}

TEST(ReadMis121, PositionColumns) {
  load_table(kTable);
  WardOrg* org = read121(" BISHOPRIC\n" +
                         pos121("Bishop", "ASHBY, Robert", "04 Jan 2022", "555-0101  ") +
                         pos121("Ward Clerk") +                  // vacant, 10 characters
                         "Assistant Clerk     \n" +              // 20 characters
                         pos121("Executive Secretary", "", "01 Feb 2020", "555-0199") +
                         pos121("Counselor", "DAVIS, Paul", "", "555-0104") +
                         pos121("Historian", "EVANS, Kar") +     // ends inside the holder
                         pos121("Librarian", "EVANS, Zoe", "12 Ma"));  // ends inside the date
  ASSERT_NE(org, nullptr);
  const WardPos* p = org->pos;
  ASSERT_EQ(count_pos(p), 7);

  EXPECT_EQ(p->pos, "Bishop");
  EXPECT_EQ(p->per, "ASHBY, Robert");
  EXPECT_EQ(p->sus, "04 Jan 2022");
  EXPECT_EQ(p->ph, "555-0101  ");  // the phone is kept as printed
  EXPECT_FALSE(p->recno);

  p = p->next;
  EXPECT_EQ(p->pos, "Ward Clerk");
  EXPECT_FALSE(p->per);
  EXPECT_FALSE(p->sus);
  EXPECT_FALSE(p->ph);

  p = p->next;
  EXPECT_EQ(p->pos, "Assistant Clerk");
  EXPECT_FALSE(p->per);

  // A blank column 34: no holder, so no date either, but the phone.
  p = p->next;
  EXPECT_EQ(p->pos, "Executive Secretary");
  EXPECT_FALSE(p->per);
  EXPECT_FALSE(p->sus);
  EXPECT_EQ(p->ph, "555-0199");

  // A blank column 77: no date.
  p = p->next;
  EXPECT_EQ(p->per, "DAVIS, Paul");
  EXPECT_FALSE(p->sus);
  EXPECT_EQ(p->ph, "555-0104");

  p = p->next;
  EXPECT_EQ(p->per, "EVANS, Kar");
  EXPECT_FALSE(p->sus);
  EXPECT_FALSE(p->ph);

  p = p->next;
  EXPECT_EQ(p->per, "EVANS, Zoe");
  EXPECT_EQ(p->sus, "12 Ma");
  EXPECT_FALSE(p->ph);
}

TEST(ReadMis121, PageHeadersAndFootersAreDropped) {
  load_table(kTable);
  const std::string footer = std::string(44, ' ') + "For church use only          Page 1\n";
  std::string text = "WARD ORGANIZATION POSITIONS LIST (MIS 121)\n"
                     " ELDERS QUORUM\nPresident\nx\n\n\n" +  // 5 lines after the header
                     std::string(" BISHOPRIC\n") + pos121("Bishop") + footer +
                     "\fWARD ORGANIZATION POSITIONS LIST (MIS 121)\n" +
                     pos121("Dropped 1") + "\n\n\n" + pos121("Dropped 5") +
                     pos121("Counselor") +
                     "*WARDS of any kind\n1\n2\n3\n4\n5\n" +
                     pos121("Clerk") +
                     pos121("Secretary", "", "", "For church use only") +  // not at column 44
                     "ab\n" +  // short line
                     "WARD at the end\n1\n2\n";
  WardOrg* org = read121(text);
  ASSERT_NE(org, nullptr);
  EXPECT_EQ(org->org, "Bishopric");
  EXPECT_EQ(org->next, nullptr);
  const WardPos* p = org->pos;
  ASSERT_EQ(count_pos(p), 4);
  EXPECT_EQ(p->pos, "Bishop");
  EXPECT_EQ(p->next->pos, "Counselor");
  EXPECT_EQ(p->next->next->pos, "Clerk");
  EXPECT_EQ(p->next->next->next->pos, "Secretary");

  // A footer at column 44 is dropped wherever it stands, heading or not.
  std::string lines = " RELIEF SOCIETY\n" + pos121("President") +
                      " " + std::string(43, 'x') + "For church\n" + pos121("Teacher");
  org = read121(lines);
  ASSERT_EQ(count_pos(org->pos), 2);
  EXPECT_EQ(org->pos->next->pos, "Teacher");
}

/// A small ward: ASHBY (phone 555-0101), DAVIS (no phone), and a second
/// Robert Ashby in a family with another phone.
WardFamily* ward() {
  WardFamily* list = nullptr;
  WardFamily* ashby = add_family(list, "ASHBY", "Robert", "555-0101");
  for (const char* name : {"Robert", "Linda"}) {
    WardMember* m = create_ward_member();
    m->fname = name;
    m->recno = std::string("100-0001-") + (name[0] == 'R' ? "0001" : "0002");
    append_member(ashby, m);
  }
  WardFamily* davis = add_family(list, "DAVIS", "Paul");
  WardMember* paul = create_ward_member();
  paul->fname = "Paul";
  paul->recno = "100-0004-0001";
  append_member(davis, paul);
  WardFamily* other = add_family(list, "ASHBY", "Robert", "555-0999");
  WardMember* rob = create_ward_member();
  rob->fname = "Robert";
  rob->recno = "100-0009-0001";
  append_member(other, rob);
  return list;
}

TEST(Merge121, PositionsGoToTheirHoldersInOrder) {
  load_table(kTable);
  WardFamily* list = ward();
  WardMember* robert = list->members;
  WardMember* linda = robert->next;
  WardMember* paul = list->next->members;
  WardMember* other = list->next->next->members;

  WardOrg* org = read121(" BISHOPRIC\n" + pos121("Bishop", "Ashby, Robert", "04 Jan 2022", "555-0101") +
                         pos121("Clerk", "DAVIS, Paul") +              // no phone: DAVIS has none
                         pos121("Secretary", "ASHBY, Linda", "", "555-0102") +  // wrong phone
                         pos121("Historian") +                         // vacant
                         " RELIEF SOCIETY\n" + pos121("President", "ASHBY, Linda", "", "555-0101") +
                         pos121("Teacher", "ASHBY, Robert", "", "555-0999") +
                         pos121("Pianist", "Ashby, Robert", "", "555-0101"));
  merge_121(list, org);

  const WardPos* bishop = org->pos;
  EXPECT_EQ(bishop->recno, "100-0001-0001");
  EXPECT_FALSE(bishop->next->next->recno);  // wrong phone: unattached
  EXPECT_FALSE(bishop->next->next->next->recno);

  ASSERT_EQ(count_pos(robert->pos), 2);
  const WardPos* copy = robert->pos;
  EXPECT_NE(copy, bishop);
  EXPECT_EQ(copy->pos, "Bishop");
  EXPECT_EQ(copy->per, "Ashby, Robert");
  EXPECT_EQ(copy->sus, "04 Jan 2022");
  EXPECT_EQ(copy->ph, "555-0101");
  EXPECT_FALSE(copy->recno);
  EXPECT_EQ(copy->org, org);
  EXPECT_EQ(copy->next->pos, "Pianist");
  EXPECT_EQ(copy->next->org, org->next);

  ASSERT_EQ(count_pos(paul->pos), 1);
  EXPECT_EQ(paul->pos->pos, "Clerk");
  ASSERT_EQ(count_pos(linda->pos), 1);
  EXPECT_EQ(linda->pos->pos, "President");
  ASSERT_EQ(count_pos(other->pos), 1);
  EXPECT_EQ(other->pos->pos, "Teacher");

  // Merging again attaches every position a second time, after the first.
  merge_121(list, org);
  ASSERT_EQ(count_pos(robert->pos), 4);
  EXPECT_EQ(robert->pos->next->next->pos, "Bishop");
  EXPECT_EQ(robert->pos->next->next->next->pos, "Pianist");
  EXPECT_EQ(count_pos(paul->pos), 2);
}

TEST(Merge121, HolderLookup) {
  load_table(kTable);
  WardFamily* list = ward();
  WardPos pos;
  EXPECT_EQ(find_member_mis121(list, &pos), nullptr);  // vacant
  pos.per = "ASHBY, Linda";
  pos.ph = "555-0101";
  EXPECT_EQ(find_member_mis121(list, &pos), list->members->next);
  pos.ph = "555-0101 ";
  EXPECT_EQ(find_member_mis121(list, &pos), nullptr);
  pos.per = "DAVIS, Paul";
  pos.ph = Text();
  EXPECT_EQ(find_member_mis121(list, &pos), list->next->members);
  EXPECT_EQ(find_member_mis121(nullptr, &pos), nullptr);
  merge_121(nullptr, nullptr);  // nothing to do, nothing to crash on
}

// --- The stake report -----------------------------------------------------

/// A stake position line: title from column 12 (padded to 25), holder from
/// 37 (padded to 31), date from 68 (padded to 6), phone from 74.
std::string spos(const std::string& title, const std::string& holder = "",
                 const std::string& date = "", const std::string& phone = "") {
  std::string line = std::string(12, ' ') + title;
  if (!holder.empty() || !date.empty() || !phone.empty()) line = pad(line, 37) + holder;
  if (!date.empty() || !phone.empty()) line = pad(line, 68) + date;
  if (!phone.empty()) line = pad(line, 74) + phone;
  return line + "\n";
}

/// A page header for `unit_line` (the text from column 12 of the second line).
std::string spage(const std::string& unit_line) {
  return std::string(12, ' ') + "WARD ORGANIZATION REPORT\n" + std::string(12, ' ') + unit_line +
         "\n\nPosition                 Name\n----\n\n";
}

/// An organisation heading: column 12 blank, the heading further right.
std::string sorg(const std::string& heading) { return std::string(16, ' ') + heading + "\n"; }

UnitName g_units[3];

/// UnitNames with two wards and a branch, without organisations.
void set_units() {
  free_ptr_prodlist(UnitNames);
  UnitNames = create_ptr_prodlist(4);
  const char* names[3][2] = {{"MAPLE CREEK 1ST WARD", "mc1"},
                             {"MAPLE CREEK 2ND WARD", "mc2"},
                             {"ROCKY BRANCH", "rb"}};
  for (int i = 0; i < 3; ++i) {
    g_units[i] = UnitName{names[i][0], names[i][1], names[i][0], nullptr};
    add_ptr_prodlist(UnitNames, &g_units[i]);
  }
}

void read_stake(const std::string& text, std::string* err = nullptr) {
  FILE* fp = open_text(text);
  testing::internal::CaptureStderr();
  read_smis121(fp);
  std::string msgs = testing::internal::GetCapturedStderr();
  if (err != nullptr) *err = msgs;
  std::fclose(fp);
}

int count_orgs(const WardOrg* o) {
  int n = 0;
  for (; o != nullptr; o = o->next) ++n;
  return n;
}

TEST(ReadSmis121, TitlesHoldersDatesAndPhones) {
  set_units();
  std::string text =
      spage("MAPLE CREEK 1ST WARD  12/01/26  Page 1") + sorg("Bishopric") +
      spos("Bishop__________________ ", "ASHBY, Robert", "04Jan2", "(555)555-0101") +
      spos("Ward Executive Secretary1", "EVANS, Karen Elizabeth Marianne", "9Sep1(",
           "555)555-0111") +
      spos("Clerk") +                           // 30 characters: title only
      spos("Membership Clerk _______ ", "", "", "801 555-0123") +
      spos("Ward Clerk _____________ ", "  ") +  // vacant: the line ends before column 37
      spos("________________________ ", "DAVIS, Paul", " 1Mar2") +  // date after a blank
      spos("Historian", "CARTER, Jane", "(", "555)0199");
  read_stake(text);
  WardOrg* org = g_units[0].orgs;
  ASSERT_NE(org, nullptr);
  EXPECT_EQ(org->org, "Bishopric");
  EXPECT_FALSE(org->abbr);
  ASSERT_EQ(count_pos(org->pos), 7);

  const WardPos* p = org->pos;
  EXPECT_EQ(p->pos, "Bishop");
  EXPECT_EQ(p->per, "ASHBY, Robert");
  EXPECT_EQ(p->sus, "04Jan2");
  EXPECT_EQ(p->ph, "(555)555-0101");  // column 77 is not the ')'
  EXPECT_EQ(p->org, org);

  // A title reaching column 36 is kept whole; a holder filling 37-67 too,
  // and the date after it is still read.
  p = p->next;
  EXPECT_EQ(p->pos, "Ward Executive Secretary1");
  EXPECT_EQ(p->per, "EVANS, Karen Elizabeth Marianne");
  EXPECT_EQ(p->sus, "9Sep1");
  EXPECT_EQ(p->ph, "555-555-0111");

  p = p->next;
  EXPECT_EQ(p->pos, "Clerk");
  EXPECT_FALSE(p->per);
  EXPECT_FALSE(p->sus);
  EXPECT_FALSE(p->ph);

  p = p->next;
  EXPECT_EQ(p->pos, "Membership Clerk");
  EXPECT_FALSE(p->per);
  EXPECT_FALSE(p->sus);  // column 68 blank
  EXPECT_EQ(p->ph, "801 555-0123");

  // Trailing blanks go first, so this line ends before column 37 and its
  // title is the rest of the line, underscores included.
  p = p->next;
  EXPECT_EQ(p->pos, "Ward Clerk _____________");
  EXPECT_FALSE(p->per);

  p = p->next;
  EXPECT_EQ(p->pos, "");  // underscores only
  EXPECT_EQ(p->per, "DAVIS, Paul");
  EXPECT_FALSE(p->sus);

  // "(" in column 73 belongs to neither the date nor the phone.
  p = p->next;
  EXPECT_FALSE(p->sus);  // the date is "(" alone: nothing remains
  EXPECT_EQ(p->ph, "555-0199");
}

TEST(ReadSmis121, PagesUnitsAndSkippedLines) {
  set_units();
  const std::string footer = std::string(44, ' ') + "For church use only\n";
  std::string text =
      sorg("Orphan Heading") + spos("Nobody", "NO, Unit") +  // no unit yet
      spage("MAPLE CREEK 2ND WARD") + sorg("Elders Quorum") + spos("President", "DAVIS, Paul") +
      "            ---------------------------\n" +  // rule
      footer + sorg("For church use only") + "x\n" + "   \n" + "ab\n" +
      "\f" + spage("MAPLE CREEK 2ND WARD  01/02/27") +
      spos("Secretary", "ASHBY, Linda") +  // continues Elders Quorum
      sorg("Primary") + spos("President", "CARTER, Jane") +
      "*" + spage("UNKNOWN WARD  01/02/27") +
      spos("Teacher", "LOST, Person") + sorg("Unknown Org") + spos("Chorister", "LOST, Other") +
      spage("ROCKY BRANCH") +
      spos("Pianist", "STRAY, Line") +  // a new unit: no organisation yet
      sorg("Branch Presidency") + spos("President", "FOX, Amy") +
      spage("MAPLE CREEK 2ND WARD") + sorg("Sunday School") + spos("President", "GRAY, Tom");
  std::string err;
  read_stake(text, &err);
  EXPECT_EQ(err, "Can't find unit (UNKNOWN WARD) in wardunits.txt\n");

  EXPECT_EQ(g_units[0].orgs, nullptr);
  WardOrg* eq = g_units[1].orgs;
  ASSERT_EQ(count_orgs(eq), 3);
  EXPECT_EQ(eq->org, "Elders Quorum");
  ASSERT_EQ(count_pos(eq->pos), 2);
  EXPECT_EQ(eq->pos->per, "DAVIS, Paul");
  EXPECT_EQ(eq->pos->next->per, "ASHBY, Linda");
  EXPECT_EQ(eq->next->org, "Primary");
  ASSERT_EQ(count_pos(eq->next->pos), 1);
  EXPECT_EQ(eq->next->next->org, "Sunday School");
  EXPECT_EQ(eq->next->next->pos->per, "GRAY, Tom");

  WardOrg* bp = g_units[2].orgs;
  ASSERT_EQ(count_orgs(bp), 1);
  EXPECT_EQ(bp->org, "Branch Presidency");
  ASSERT_EQ(count_pos(bp->pos), 1);
  EXPECT_EQ(bp->pos->per, "FOX, Amy");

  // Reading the report again appends every organisation once more.
  read_stake(text);
  ASSERT_EQ(count_orgs(g_units[1].orgs), 6);
  EXPECT_EQ(g_units[1].orgs->next->next->next->org, "Elders Quorum");
  EXPECT_EQ(count_pos(g_units[1].orgs->next->next->next->pos), 2);
  EXPECT_EQ(count_orgs(g_units[2].orgs), 2);
}

TEST(ReadSmis121, NoUnitListAndEndInsideAHeader) {
  free_ptr_prodlist(UnitNames);
  UnitNames = nullptr;
  std::string err;
  read_stake(spage("MAPLE CREEK 1ST WARD") + sorg("Bishopric") + spos("Bishop", "A, B"), &err);
  EXPECT_EQ(err, "Can't find unit (MAPLE CREEK 1ST WARD) in wardunits.txt\n");

  set_units();
  read_stake(std::string(12, ' ') + "WARD ORGANIZATION REPORT\n" + std::string(12, ' ') +
             "ROCKY BRANCH\n\n" + sorg("Dropped Heading"));
  EXPECT_EQ(g_units[2].orgs, nullptr);
  read_stake(std::string(12, ' ') + "WARD ORGANIZATION REPORT\n");
  EXPECT_EQ(g_units[2].orgs, nullptr);
}

}  // namespace
