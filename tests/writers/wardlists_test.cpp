// Tests of the phone book, address, zip-code, single-parent and non-member
// lists.

#include "writers/wardlists.h"

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
                       const char* bmonth = "", Text stat = std::nullopt) {
  WardMember* mem = create_ward_member();
  mem->type = type;
  mem->fname = std::move(fname);
  mem->stat = std::move(stat);
  std::snprintf(mem->bday, sizeof mem->bday, "%s", bday);
  std::snprintf(mem->bmonth, sizeof mem->bmonth, "%s", bmonth);
  append_member(fam, mem);
  return mem;
}

WardFamily* add_zip_family(WardFamily*& head, const char* lname, Text zip, const char* city) {
  WardFamily* fam = add_family(head, lname, std::string(1, lname[0] == '[' ? lname[1] : lname[0]));
  fam->zip = std::move(zip);
  fam->city = city;
  fam->state = "UT";
  return fam;
}

TEST(PalmPhonebook, NamesChildrenAddressAndPhone) {
  WardFamily* list = nullptr;
  WardFamily* f = add_family(list, "Adams", "John", "555-1234");
  add_member(f, 1, "John");
  add_member(f, 2, "Mary");
  add_member(f, 3, "Kim");
  add_member(f, 3, "[Lee]");
  f->addr = "12 Elm St";
  f->city = "Provo";
  f->state = "UT";
  f->zip = "84601";
  f = add_family(list, "Baker", "Sue", "");
  add_member(f, 1, "[Tom]");
  add_member(f, 2, "Sue");
  f->city = "Orem";
  f = add_family(list, "Cole", "Ann");
  add_member(f, 1, "Ann");
  add_member(f, 2, "[Max]");
  add_member(f, 3, "Bo");
  add_member(f, 3, "Cy");
  add_family(list, "Dunn", std::nullopt);
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_phonebook(list, fp); }),
            "\nAdams, John & Mary\n   Kim, [Lee]\n  12 Elm St\n  Provo, UT 84601\n 555-1234\n"
            "\nBaker, Sue\n  Orem\n"
            "\nCole, Ann\n   Bo, Cy\n"
            "\nDunn\n");
}

TEST(PalmPhonebook, EntryPartsForOtherWriters) {
  WardFamily* list = nullptr;
  WardFamily* f = add_family(list, "Baker", "Sue", "");
  add_member(f, 1, "[Tom]");
  add_member(f, 2, "Sue");
  add_member(f, 3, "");
  add_member(f, 3, "Al");
  f->city = "Orem";
  f->zip = "84057";
  f->zip2 = "1234";
  PhoneBookEntry e = phonebook_entry(f);
  EXPECT_EQ(e.surname, "Baker");
  EXPECT_EQ(e.couple, ", Sue");
  EXPECT_EQ(e.children, (std::vector<std::string_view>{"", "Al"}));
  EXPECT_EQ(e.address, std::nullopt);
  EXPECT_EQ(e.city, "Orem 84057");  // no state, no extension
  EXPECT_EQ(e.phone, "");
  EXPECT_EQ(capture([&](FILE* fp) { write_palm_phonebook(f, fp); }),
            "\nBaker, Sue\n   , Al\n  Orem 84057\n");
}

TEST(PalmAddr, NamesPhoneAddressAndBirthdays) {
  WardFamily* list = nullptr;
  WardFamily* f = add_family(list, "Adams", "John", "555-1234");
  add_member(f, 1, "John", "03", "Feb");
  add_member(f, 2, "Mary", "10", "Oct");
  add_member(f, 3, "Kim", "05", "Jun");
  f->addr = "12 Elm St";
  f->city = "Provo";
  f->state = "UT";
  f->zip = "84601";
  f = add_family(list, "Cole", "Ann", "");
  add_member(f, 1, "Ann", "01", "Mar");
  add_member(f, 3, "Bo", "02", "Apr");
  f->addr = "9 Oak";
  add_family(list, "Jones", "X")->sname = "Smith";
  add_family(list, "Smith (See Jones)", "Y", "555");
  add_family(list, "Empty", "Z", "1");
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_addr(list, fp); }),
            "Adams, John & Mary: 555-1234, 12 Elm St, Provo UT 84601\n"
            "  John Feb 03, Mary Oct 10, Kim Jun 05\n"
            "Cole, Ann [no phone] 9 Oak\n"
            "  Ann Mar 01, Bo Apr 02\n"
            "Jones\n"
            "Smith (See Jones)\n"
            "Empty, Z: 1, \n  \n");
}

TEST(PalmZip, SortsByZipBytesWithOneBookmarkPerZip) {
  WardFamily* list = nullptr;
  add_zip_family(list, "Adams", "84601", "Provo");
  add_zip_family(list, "Baker", "8460", "Short");
  add_zip_family(list, "Cole", std::nullopt, "Nozip");
  add_zip_family(list, "Dunn", "84601", "Orem");
  add_zip_family(list, "[Eve]", "84601", "Hidden");
  add_zip_family(list, "Fox", "8460A", "Lettr");
  add_zip_family(list, "Gray", "84601", "Provo");
  add_zip_family(list, "[Hal]", "84602", "Hidden");
  add_zip_family(list, "[Ivy]", "84603", "Hidden");
  add_zip_family(list, "Jay", "84603", "Lehi");
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_zip(list, fp); }),
            "*8460 Short, UT\n8460 Baker, B\n"
            "*84601 Provo, UT\n84601 Adams, A\n84601 Dunn, D\n84601 Gray, G\n"
            "*84603 Lehi, UT\n84603 Jay, J\n"
            "*8460A Lettr, UT\n8460A Fox, F\n");
  EXPECT_EQ(capture([](FILE* fp) { create_palm_zip(nullptr, fp); }), "");
}

TEST(PalmSap, SelectsHeadsLivingWithChildrenOnly) {
  WardFamily* list = nullptr;
  add_member(add_family(list, "Alone", "Al"), 1, "Al");
  WardFamily* f = add_family(list, "Solo", "Pat");
  add_member(f, 1, "Pat", "01", "Jan");
  WardMember* kid = add_member(f, 3, "Kid", "02", "Feb");
  kid->age = 9;
  std::snprintf(kid->byear, sizeof kid->byear, "15");
  f = add_family(list, "Pair", "Jo");
  add_member(f, 1, "Jo");
  add_member(f, 2, "Di");
  add_member(f, 3, "Ty");
  add_family(list, "Nobody", "X");
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_sap(list, fp); }),
            "Solo, Pat\n   Pat 01Jan\n     Kid 02Feb15 [ 9]\n");
}

TEST(PalmNonm, SelectsNonMemberHeadsAndSpouses) {
  WardFamily* list = nullptr;
  add_member(add_family(list, "One", "A"), 1, "A", "", "", "Nonmembr");
  WardFamily* f = add_family(list, "Head", "B");
  add_member(f, 1, "B", "", "", "Nonmembr");
  add_member(f, 3, "Bb");
  f = add_family(list, "Spouse", "C");
  add_member(f, 1, "C", "", "", "Member");
  add_member(f, 2, "Cc", "", "", "Nonmembr");
  f = add_family(list, "Child", "D");
  add_member(f, 1, "D");
  add_member(f, 3, "Dd", "", "", "Nonmembr");
  f = add_family(list, "NoStat", "E");
  add_member(f, 1, "E");
  add_member(f, 2, "Ee");
  f = add_family(list, "Case", "F");
  add_member(f, 1, "F", "", "", "nonmembr");
  add_member(f, 2, "Ff");
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_nonm(list, fp); }),
            "Head, B\n   B \n     Bb \n"
            "Spouse, C\n   C \n   Cc \n");
}

}  // namespace
