#include "readers/mis232.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A family line: phone in columns 0-19, "SURNAME, names" from column 22 with
// dot leaders up to column 63, the address in columns 64-104, then the code.
std::string fam_line(const std::string& phone, const std::string& names, const std::string& addr,
                     const std::string& code) {
  std::string s = phone;
  s.resize(22, ' ');
  s += names;
  s.resize(64, '.');
  s += addr;
  s.resize(105, ' ');
  return s + code;
}
std::string spouse_line(const std::string& name) { return std::string(21, ' ') + "& " + name; }
std::string child_line(const std::string& names) { return std::string(23, ' ') + names; }

WardFamily* read_text(const std::string& text) {
  FILE* fp = std::tmpfile();
  std::fputs(text.c_str(), fp);
  std::rewind(fp);
  WardFamily* list = read_mis232(fp);
  std::fclose(fp);
  return list;
}

std::vector<const WardMember*> members(const WardFamily* fam) {
  std::vector<const WardMember*> v;
  for (const WardMember* m = fam->members; m != nullptr; m = m->next) v.push_back(m);
  return v;
}

TEST(Mis232, RecognisersTestTheirColumns) {
  EXPECT_TRUE(is_mis232(fam_line("555-1234", "SMITH, John", "12 Oak St", "A01")));
  EXPECT_FALSE(is_mis232(std::string(22, ' ')));
  EXPECT_FALSE(is_mis232(std::string(20, ' ') + "\t S"));  // a tab is no space
  EXPECT_FALSE(is_mis232(child_line("Billy")));
  EXPECT_TRUE(is_mis232_spouse(spouse_line("Mary")));
  EXPECT_TRUE(is_mis232_child(child_line("Billy")));
  EXPECT_FALSE(is_mis232_child(std::string(23, ' ') + "b"));
}

TEST(Mis232, FamilyLineColumnsAndNames) {
  WardFamily* fam = parse_mis232(fam_line("   555-1234", "SMITH, John & Mary", "12 Oak St", "A01"));
  ASSERT_NE(fam, nullptr);
  EXPECT_EQ(fam->phone, "555-1234" + std::string(9, ' '));  // trailing blanks stay
  EXPECT_EQ(fam->lname, "SMITH");
  EXPECT_EQ(fam->fname, "John");
  EXPECT_EQ(fam->addr, "12 Oak St");
  EXPECT_EQ(fam->acode, "A01");
  auto m = members(fam);
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0]->type, 1);
  EXPECT_EQ(m[1]->type, 2);
  EXPECT_EQ(m[1]->fname, "Mary");
  EXPECT_EQ(m[1]->lname, "SMITH");

  // The '.' of an initial ends the search for '&': one head, no spouse.
  fam = parse_mis232(fam_line("", "SMITH, John Q. & Mary", "1 A St", "B02"));
  EXPECT_EQ(fam->fname, "John Q. & Mary");
  EXPECT_EQ(members(fam).size(), 1u);
  // Blanks before the dot leaders stay; an all-blank address keeps column 64.
  fam = parse_mis232(fam_line("", "SMITH,  John & Mary ", "", "B02"));
  EXPECT_EQ(members(fam)[1]->fname, "Mary ");
  EXPECT_EQ(fam->addr, " ");
  // Dots are leaders only when they reach column 63.
  fam = parse_mis232(std::string(22, ' ') + "DOE, Ann B.");
  EXPECT_EQ(fam->fname, "Ann B.");
  // Columns past the end of the line are empty texts, not absent ones.
  EXPECT_EQ(fam->addr, "");
  EXPECT_EQ(fam->acode, "");
  fam = parse_mis232(fam_line("", "DOE, Ann", "9 Elm Rd", "").substr(0, 107));
  EXPECT_EQ(fam->addr, "9 Elm Rd");
  EXPECT_EQ(fam->acode, "");
  fam = parse_mis232(fam_line("", "DOE, Ann", "9 Elm Rd", "C12").substr(0, 107));
  EXPECT_EQ(fam->acode, "C1");
}

TEST(Mis232, FamilyLineWithoutCommaHasNoFirstName) {
  WardFamily* fam = parse_mis232(fam_line("", "MEMBERSHIP LISTING  ", "", ""));
  ASSERT_NE(fam, nullptr);
  EXPECT_EQ(fam->lname, "MEMBERSHIP LISTING");
  EXPECT_FALSE(fam->fname);
  ASSERT_EQ(members(fam).size(), 1u);
  EXPECT_FALSE(fam->members->fname);
  fam = parse_mis232(fam_line("", "JONES", "5 Elm, Apt 2", "D04"));  // ',' past the names
  EXPECT_EQ(fam->lname, "JONES");
}

TEST(Mis232, SpouseAndChildLines) {
  WardFamily* fam = parse_mis232(fam_line("", "BROWN, Tom", "3 Pine Rd", "E05"));
  parse_mis232_spouse(spouse_line("Sue Ann  "), fam);
  parse_mis232_child(child_line("Billy JONES, Kate,   Billy JR, Ed Van DYKE"), fam);
  auto m = members(fam);
  ASSERT_EQ(m.size(), 6u);
  EXPECT_EQ(m[1]->type, 2);
  EXPECT_EQ(m[1]->fname, "Sue Ann  ");
  EXPECT_EQ(m[2]->type, 3);
  EXPECT_EQ(m[2]->fname, "Billy");
  EXPECT_EQ(m[2]->lname, "JONES");
  EXPECT_EQ(m[3]->fname, "Kate");
  EXPECT_EQ(m[3]->lname, "BROWN");
  EXPECT_EQ(m[4]->fname, "Billy JR");
  EXPECT_EQ(m[4]->lname, "BROWN");
  EXPECT_EQ(m[5]->fname, "Ed Van");
  EXPECT_EQ(m[5]->lname, "DYKE");
}

TEST(Mis232, ReadJoinsContinuationLinesToTheirFamily) {
  WardFamily* list = read_text(
      child_line("Orphan") + "\n" +                            // before any family: dropped
      "                      MEMBERSHIP LISTING (MIS 232)\n" +  // taken for a family
      fam_line("555-1111", "ADAMS, Al & Bea", "1 First St", "F01") + "\n" +
      child_line("Cy, Di") + "\n\n" +
      fam_line("555-2222", "BAKER, Carl", "2 Second St", "F02") + "\n" + spouse_line("Dora") +
      "\r\n");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->lname, "MEMBERSHIP LISTING (MIS 232)");
  EXPECT_EQ(members(list).size(), 1u);
  ASSERT_NE(list->next, nullptr);
  auto m = members(list->next);
  ASSERT_EQ(m.size(), 4u);
  EXPECT_EQ(m[3]->fname, "Di");
  ASSERT_NE(list->next->next, nullptr);
  m = members(list->next->next);
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[1]->fname, "Dora");
  EXPECT_EQ(list->next->next->next, nullptr);
  EXPECT_EQ(read_text("PAGE 1\n\n"), nullptr);
}

WardFamily* ward_family(const char* lname, const char* fname, const char* addr, WardFamily* next) {
  WardFamily* fam = create_ward_family();
  fam->lname = lname;
  if (fname != nullptr) fam->fname = fname;
  if (addr != nullptr) fam->addr = addr;
  fam->next = next;
  return fam;
}

TEST(Mis232, MergeMatchesExactNamesAndAddress) {
  WardFamily* mis232 = read_text(fam_line("", "SMITH, John & Mary", "12 Oak St", "A01") + "\n" +
                                 fam_line("", "SMITH, John", "12 Oak St", "A02") + "\n" +
                                 fam_line("", "LEE, Ann", "9 Elm  Ave", "A03") + "\n" +
                                 std::string(22, ' ') + "KIM, Bo\n");
  WardFamily* nofirst = ward_family("LEE", nullptr, "9 Elm  Ave", nullptr);
  WardFamily* noaddr = ward_family("KIM", "Bo", nullptr, nofirst);
  WardFamily* lower = ward_family("Smith", "John", "12 Oak St", noaddr);
  WardFamily* xref = ward_family("SMYTHE", nullptr, nullptr, lower);
  xref->sname = "SMITH";
  WardFamily* lee = ward_family("LEE", "Ann", "9 Elm Ave", xref);  // one blank less
  WardFamily* smith = ward_family("SMITH", "John", "12 Oak St", lee);

  EXPECT_EQ(find_family_mis232(mis232, smith), mis232);  // the first of two
  testing::internal::CaptureStdout();
  merge_232(smith, mis232);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Can't find entry in MIS232 (LEE, Ann)\n"
            "Can't find entry in MIS232 (Smith, John)\n"
            "Can't find entry in MIS232 (KIM, Bo)\n"
            "Can't find entry in MIS232 (LEE, )\n");
  EXPECT_EQ(smith->acode, "A01");
  EXPECT_FALSE(lee->acode);
}

}  // namespace
