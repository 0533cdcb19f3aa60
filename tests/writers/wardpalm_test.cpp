// Tests of the phone list, phone directory, full list and private list.

#include "writers/wardpalm.h"

#include <gtest/gtest.h>

#include "support/capture.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

using testsupport::add_family;
using testsupport::capture;


WardMember* add_member(WardFamily* fam, int type, Text fname, const char* bday = "",
                       const char* bmonth = "", const char* byear = "", int age = 0) {
  WardMember* mem = create_ward_member();
  mem->type = type;
  mem->fname = std::move(fname);
  std::snprintf(mem->bday, sizeof mem->bday, "%s", bday);
  std::snprintf(mem->bmonth, sizeof mem->bmonth, "%s", bmonth);
  std::snprintf(mem->byear, sizeof mem->byear, "%s", byear);
  mem->age = age;
  append_member(fam, mem);
  return mem;
}

WardPos* add_position(WardMember* mem, WardOrg* org, const char* title) {
  WardPos* pos = create_ward_pos(org);
  pos->pos = title;
  pos->next = mem->pos;
  mem->pos = pos;  // callers add positions in reverse
  return pos;
}

WardOrg* make_org(const char* name, const char* abbr) {
  WardOrg* org = create_ward_org();
  org->org = name;
  org->abbr = abbr;
  return org;
}

/// Families covering the phone entry rules, with a letter that repeats.
WardFamily* phone_families() {
  WardFamily* list = nullptr;
  WardFamily* f = add_family(list, "Adams", "John", "555-1234");
  add_member(f, 1, "John");
  add_member(f, 2, "Mary");
  add_member(f, 3, "Kim");
  f = add_family(list, "Baker", "Sue", "555-2222");
  add_member(f, 1, "[Tom]");
  add_member(f, 2, "Sue");
  f = add_family(list, "Brown", "Al", "");
  add_member(f, 1, "Al");
  add_member(f, 2, "[Bea]");
  f = add_family(list, "Cole", "[Ann]", "555-3333");
  add_member(f, 1, "[Ann]");
  f = add_family(list, "Ames", "Zed");
  add_member(f, 1, "Zed");
  add_family(list, "Jones", std::nullopt)->sname = "Smith";  // cross reference
  return list;
}

TEST(PalmPhone, EmptyListWritesNothing) {
  for (int opt : {220, 225}) {
    EXPECT_EQ(capture([&](FILE* fp) { create_palm_phone(nullptr, fp, opt); }), "");
    EXPECT_EQ(capture([&](FILE* fp) { create_palm_full(nullptr, fp, opt == 225); }), "");
  }
}

TEST(PalmPhone, PhoneListHasBookmarksAndPhoneOnItsOwnLine) {
  WardFamily* list = phone_families();
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_phone(list, fp, 220); }),
            "*A\nAdams, John & Mary\n\t555-1234\n"
            "*B\nBaker, Sue\n\t555-2222\n"
            "Brown, Al\n"
            "*C\nCole, \n\t555-3333\n"
            "*A\nAmes, Zed\n"
            "*J\nJones\n");
}

TEST(PalmPhone, DirectorySkipsFamiliesWithoutPhoneOrWithBracketedName) {
  WardFamily* list = phone_families();
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_phone(list, fp, 225); }),
            "Adams, John & Mary\t555-1234\n"
            "Baker, Sue\t555-2222\n");
}

TEST(PalmPhone, OtherOptionWritesEveryFamilyInDirectoryLayout) {
  WardFamily* list = phone_families();
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_phone(list, fp, 0); }),
            "Adams, John & Mary\t555-1234\n"
            "Baker, Sue\t555-2222\n"
            "Brown, Al\n"
            "Cole, \t555-3333\n"
            "Ames, Zed\n"
            "Jones\n");
}

TEST(PalmPhone, BookmarksCompareExactlyAndNeverWriteNul) {
  WardFamily* list = nullptr;
  add_member(add_family(list, "", "N"), 1, "Nobody");  // initial NUL, as at the start
  add_member(add_family(list, "Abel", "A"), 1, "A");
  add_member(add_family(list, "abbot", "B"), 1, "B");
  add_member(add_family(list, std::nullopt, "C"), 1, "C");
  add_member(add_family(list, "Allen", "D"), 1, "D");
  std::string out = capture([&](FILE* fp) { create_palm_phone(list, fp, 220); });
  EXPECT_EQ(out.find('\0'), std::string::npos);
  EXPECT_EQ(out, ", Nobody\n*A\nAbel, A\n*a\nabbot, B\n*\n, C\n*A\nAllen, D\n");
}

TEST(PalmFull, CrossReferenceAndSparseFamilies) {
  WardFamily* list = nullptr;
  add_family(list, "Jones", std::nullopt)->sname = "Smith";
  WardFamily* f = add_family(list, "Kent", "Clark", "");
  f->geocode = "G12";
  f->state = "UT";  // no city: the geocode stands in
  add_member(f, 1, "Clark");
  f = add_family(list, "King", "Lou");
  f->city = "Orem";
  add_member(f, 1, std::nullopt);
  const char* expected =
      "*J\nJones [See Smith], \n"
      "*K\nKent, Clark\n  G12\n   Clark \n"
      "King, Lou\n  Orem,  \n    \n";
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_full(list, fp, 0); }), expected);
  EXPECT_EQ(capture([&](FILE* fp) { write_palm_phone(list, fp, 220); }), "Jones\n");
}

/// One family that exercises every line of the full and private blocks.
WardFamily* full_family() {
  WardFamily* list = nullptr;
  WardFamily* f = add_family(list, "Adams", "John & Mary", "555-1234");
  f->addr = "12 Elm St";
  f->city = "Provo";
  f->state = "UT";
  f->zip = "84601";
  f->zip2 = "1234";
  f->acode = "A1";
  f->htname = "Bob Hill";
  f->htcomp = "Tim Orr";
  f->htpct = 75;
  f->htvisits = "VVxx--------";
  f->vtname = "Ann Lee";
  f->vtpct = 100;
  f->vtvisits = "VVVV";

  WardMember* m = add_member(f, 1, "John", "03", "Feb", "79", 45);
  m->sex = 'M';
  m->stat = "Member";
  m->recno = "123-4567-8901";
  m->baptism = "01 Mar 1987";
  m->confirm = "02 Mar 1987";
  add_position(m, create_ward_org(), "Helper")->org = nullptr;
  add_position(m, make_org("Reserves", "Rs"), "Scout");
  add_position(m, make_org("RESERVES", "RES"), "Reserve");
  add_position(m, make_org("Elders Quorum", "EQ"), "President");

  m = add_member(f, 2, "Mary", "10", "Oct", "80", 44);
  m->lname = "Brown";
  m->sex = 'F';
  m = add_member(f, 3, "Kim", "05", "Jun", "04", 20);
  m->sex = 'F';
  m->stat = "Member";
  add_member(f, 3, "Lee", "07", "Jul", "03", 21);
  add_member(f, 3, "Ned", "", "", "", 0);
  return list;
}

TEST(PalmFull, FullListShowsAgesOfChildrenUnder21Only) {
  WardFamily* list = full_family();
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_full(list, fp, 0); }),
            "*A\n"
            "Adams, John & Mary\n"
            "  555-1234\n"
            "  12 Elm St\n"
            "  Provo, UT 84601-1234\n"
            "  HT: Bob Hill & Tim Orr\n"
            "  VT: Ann Lee\n"
            "   John 03Feb\n"
            "          (EQ President)\n"
            "          (Rs Scout)\n"
            "          ( Helper)\n"
            "   Brown, Mary 10Oct\n"
            "     Kim 05Jun04 [20]\n"
            "     Lee 07Jul\n"
            "     Ned \n");
}

TEST(PalmFull, PrivateListAddsPersonalDetail) {
  WardFamily* list = full_family();
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_full(list, fp, 1); }),
            "*A\n"
            "Adams, John & Mary\n"
            "  555-1234\n"
            "  12 Elm St\n"
            "  Provo, UT 84601-1234 [A1]\n"
            "  HT:  75% - Bob Hill & Tim Orr\n"
            "    VVxx--------\n"
            "  VT: 100% - Ann Lee\n"
            "    VVVV\n"
            "...John [M Member]\n"
            "        03Feb79 [45] #123-4567-8901\n"
            "        bapt: 01 Mar 1987, conf: 02 Mar 1987\n"
            "          (EQ President)\n"
            "          (Rs Scout)\n"
            "          ( Helper)\n"
            "...Brown, Mary [F]\n"
            "        10Oct80 [44]\n"
            ".....Kim [F Member]\n"
            "        05Jun04 [20]\n"
            ".....Lee 07Jul03 [21]\n"
            ".....Ned \n");
}

TEST(PalmFull, FamilyWithoutLastNameListsMembersWithTheirOwn) {
  WardFamily* list = nullptr;
  add_member(add_family(list, std::nullopt, "Pat"), 1, "Pat")->lname = "Quinn";
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_full(list, fp, 0); }), ", Pat\n   Quinn, Pat \n");
}

}  // namespace
