#include "model/listing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "model/warderr.h"

namespace {

/// Everything `write` sends to a scratch stream, NUL bytes included.
std::string render(const std::function<void(FILE*)>& write) {
  FILE* fp = std::tmpfile();
  EXPECT_NE(fp, nullptr);
  write(fp);
  std::rewind(fp);
  std::string out;
  int c;
  while ((c = std::fgetc(fp)) != EOF) out.push_back(static_cast<char>(c));
  std::fclose(fp);
  return out;
}

WardFamily* family(const char* lname, const char* fname) {
  WardFamily* fam = create_ward_family();
  fam->lname = lname;
  if (fname != nullptr) fam->fname = fname;
  return fam;
}

WardMember* member(WardFamily* fam, const char* fname, int type) {
  WardMember* mem = create_ward_member();
  mem->fname = fname;
  mem->type = type;
  append_member(fam, mem);
  return mem;
}

TEST(Listing, ErrorReportNewestFirstFamilyThenMembers) {
  WardFamily* smith = family("Smith", "John");
  WardMember* head = member(smith, "John", 1);
  member(smith, "Ann", 2);
  add_fam_err(smith, "first");
  add_fam_err(smith, "second");
  add_mem_err(head, "head note");
  WardFamily* quiet = family("Quiet", "Q");
  WardFamily* xref = family("Jones", nullptr);
  add_fam_err(xref, "See Smith");
  smith->next = quiet;
  quiet->next = xref;

  EXPECT_EQ(render([&](FILE* fp) { list_fam_errs(smith, fp); }),
            "Family Smith, John: second\n"
            "Family Smith, John: first\n"
            "Member Smith, John: head note\n"
            "Family Jones, (null): See Smith\n");
  EXPECT_EQ(render([](FILE* fp) { list_fam_errs(nullptr, fp); }), "");
}

TEST(Listing, FullFamilyWithTeachingNotesAndMembers) {
  WardFamily* fam = family("Smith", "John");
  fam->addr = "12 Elm St";
  fam->addr2 = "Apt 4";
  fam->city = "Provo";
  fam->state = "UT";
  fam->zip = "84601";
  fam->zip2 = "1234";
  fam->acode = "A7";
  fam->phone = "555-1234";
  fam->htgroup = 2;
  fam->htsup = 3;
  fam->htdist = 4;
  fam->htname = "Brown";
  fam->htcomp = "Green";
  fam->htvisits = " *V-";
  add_fam_err(fam, "first");
  add_fam_err(fam, "second");
  WardMember* head = member(fam, "John", 1);
  head->sex = 'M';
  head->stat = "Member";
  std::snprintf(head->bday, sizeof head->bday, "07");
  std::snprintf(head->bmonth, sizeof head->bmonth, "Mar");
  head->recno = "123-4567";
  add_mem_err(head, "head note");
  WardMember* child = member(fam, "Kid", 3);
  child->stat = "Member";  // no sex given

  EXPECT_EQ(render([&](FILE* fp) { list_family(fam, fp); }),
            std::string("Name:Smith<<, >>John<<\n"
                        "Addr:12 Elm St<<\n"
                        "Addr2:Apt 4<<\n"
                        "City:Provo<< State:UT<< Zip:84601<<Zip2:1234[A7]<<\n"
                        "Phone:555-1234<<\n"
                        "HT: EL-03-04\n"
                        " (Brown, Green)\n"
                        "Visits: x*V?\n"
                        "***second***\n"
                        "***first***\n"
                        "\tl/fname:Smith<< >>John<< type:1 (Head)\n"
                        "\tSex:M, stat:Member<< birth: [07Mar][123-4567]\n"
                        "***head note***\n"
                        "\tl/fname:Smith<< >>Kid<< type:3 (Child)\n"
                        "\tSex:, stat:Member<<\n"));
}

TEST(Listing, LineEndsTeachingAndAbsentTexts) {
  WardFamily* fam = family("Lee", nullptr);
  fam->addr = "1 Main";  // neither city nor code: "<<" on a line of its own
  fam->htname = "Brown";  // group 0: no teaching lines
  EXPECT_EQ(render([&](FILE* fp) { list_family(fam, fp); }),
            "Name:Lee<<, >>(null)<<\nAddr:1 Main<<\n<<\n");

  fam->addr.reset();
  fam->city = "Orem";
  fam->htgroup = 3;
  fam->htsup = 1;
  fam->htdist = 12;
  EXPECT_EQ(render([&](FILE* fp) { list_family(fam, fp); }),
            "Name:Lee<<, >>(null)<<\nCity:Orem<< State:(null)<< Zip:(null)<<<<\n"
            "HT: HP-01-12\n (Brown)\nVisits: \n");

  fam->city.reset();
  fam->htname.reset();
  EXPECT_EQ(render([&](FILE* fp) { list_family(fam, fp); }),
            "Name:Lee<<, >>(null)<<\nHT: HP-01-12\n");
}

TEST(Listing, MemberWithoutTextsAndUnterminatedBirthDay) {
  WardMember* mem = create_ward_member();
  EXPECT_EQ(render([&](FILE* fp) { list_member(mem, fp); }),
            "\tl/fname:(null)<< >>(null)<< type:0 (Unknown)\n\n");

  mem->type = 2;
  mem->bday[0] = '1';
  mem->bday[1] = '2';
  mem->bday[2] = 'X';  // a full array without its terminator
  mem->sex = 'F';      // no stat: no sex either
  EXPECT_EQ(render([&](FILE* fp) { list_member(mem, fp); }),
            "\tl/fname:(null)<< >>(null)<< type:2 (Spouse)\n birth: [12X]\n");
}

/// Feeds `input` to standard input for the console reads of the listing.
void feed_stdin(const std::string& input) {
  std::string path = testing::TempDir() + "listing_stdin.txt";
  FILE* fp = std::fopen(path.c_str(), "w");
  ASSERT_NE(fp, nullptr);
  std::fputs(input.c_str(), fp);
  std::fclose(fp);
  ASSERT_NE(std::freopen(path.c_str(), "r", stdin), nullptr);
}

WardFamily* three_families() {
  WardFamily* a = family("A", "1");
  WardFamily* b = family("B", "2");
  WardFamily* c = family("C", "3");
  a->next = b;
  b->next = c;
  return a;
}

TEST(Listing, PagedListingStopsOnLowerCaseQOnly) {
  WardFamily* list = three_families();

  feed_stdin("Q\nq\n");
  testing::internal::CaptureStdout();
  std::string out = render([&](FILE* fp) { list_ward(list, fp); });
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Press ENTER to continue: Press ENTER to continue: ");
  EXPECT_EQ(out, "Name:A<<, >>1<<\nName:B<<, >>2<<\n");

  feed_stdin("quit\n");
  testing::internal::CaptureStdout();
  out = render([&](FILE* fp) { list_ward(list, fp); });
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Press ENTER to continue: ");
  EXPECT_EQ(out, "Name:A<<, >>1<<\n");

  feed_stdin("\n x\n\n");
  testing::internal::CaptureStdout();
  out = render([&](FILE* fp) { list_ward(list, fp); });
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "Name:A<<, >>1<<\nName:B<<, >>2<<\nName:C<<, >>3<<\n");
}

}  // namespace
