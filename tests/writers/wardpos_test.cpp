#include "writers/wardpos.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "readers/wardorgs.h"
#include "support/capture.h"

#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using testsupport::slurp;

fs::path scratch(const std::string& name) { return testsupport::scratch("wardpos_test_" + name); }
using testsupport::capture;


/// Loads the organisation table from `text`.
void load_table(const std::string& text) {
  fs::path path = scratch("table") / "wardorgs.txt";
  std::ofstream(path) << text;
  wardorgs_clear();
  ASSERT_GE(wardorgs_parse(path.c_str()), 0);
}

WardOrg* add_org(WardOrg*& head, Text name, Text abbr) {
  WardOrg* org = create_ward_org();
  org->org = std::move(name);
  org->abbr = std::move(abbr);
  if (head == nullptr) {
    head = org;
  } else {
    WardOrg* last = head;
    while (last->next != nullptr) last = last->next;
    last->next = org;
  }
  return org;
}

WardPos* add_pos(WardOrg* org, Text title, Text per = Text(), Text sus = Text(), Text ph = Text()) {
  WardPos* pos = create_ward_pos(org);
  pos->pos = std::move(title);
  pos->per = std::move(per);
  pos->sus = std::move(sus);
  pos->ph = std::move(ph);
  if (org->pos == nullptr) {
    org->pos = pos;
  } else {
    WardPos* last = org->pos;
    while (last->next != nullptr) last = last->next;
    last->next = pos;
  }
  return pos;
}

/// Bishopric with a full position, a vacant one with a phone and a vacant
/// one; Primary all held; Activities (no abbreviation) with a vacancy.
WardOrg* sample() {
  WardOrg* list = nullptr;
  WardOrg* bish = add_org(list, "Bishopric", "bish");
  add_pos(bish, "Bishop", "ASHBY, Robert", "04 Jan 2022", "555-0101");
  add_pos(bish, "Executive Secretary", Text(), Text(), "555-0199");
  add_pos(bish, "Ward Clerk");
  WardOrg* pri = add_org(list, "Primary", "pri");
  add_pos(pri, "President", "CARTER, Jane", "01 Feb 2020");
  add_pos(pri, "", "DAVIS, Paul");  // an empty title
  WardOrg* act = add_org(list, "Activities", "");
  add_pos(act, "Chair");
  return list;
}

TEST(CreatePalmPos, PositionsThenVacancies) {
  EXPECT_EQ(capture([](FILE* fp) { create_palm_pos(sample(), fp); }),
            "\n*Bishopric\n"
            "Bishop\n  ASHBY, Robert [04 Jan 2022] 555-0101\n"
            "Executive Secretary\n>>Unassigned 555-0199\n"
            "Ward Clerk\n>>Unassigned\n"
            "\n*Primary\n"
            "President\n  CARTER, Jane [01 Feb 2020]\n"
            "\n  DAVIS, Paul\n"
            "\n*Activities\n"
            "Chair\n>>Unassigned\n"
            "\n*3 Empty Positions\n"
            "Bishopric\n  Executive Secretary\n  Ward Clerk\n"
            "Activities\n  Chair\n");
}

TEST(CreatePalmPos, EmptyListGivesOnlyTheCount) {
  EXPECT_EQ(capture([](FILE* fp) { create_palm_pos(nullptr, fp); }), "\n*0 Empty Positions\n");
  WardOrg* list = nullptr;
  add_org(list, "Bishopric", "bish");
  EXPECT_EQ(capture([&](FILE* fp) { create_palm_pos(list, fp); }),
            "\n*Bishopric\n\n*0 Empty Positions\n");
}

const char* const kTable =
    "# heading|name|abbreviation\n"
    "BISHOPRIC|Bishopric|bish\n"
    "ACTIVITIES|Activities|\n"
    "PRIMARY|Primary|pri\n"
    "YOUNG WOMEN|Young Women|yw\n";

const std::string kToc =
    "Ward Position List\n\n>WardPosHdr\n<ul>\n"
    "<li class=\"orgndx\"><a href=\"bish.html\" class=\"orgndx\">Bishopric</a></li>\n"
    "<li class=\"orgndx\"><a href=\"pri.html\" class=\"orgndx\">Primary</a></li>\n"
    "<li class=\"orgndx\"><a href=\"yw.html\" class=\"orgndx\">Young Women</a></li>\n"
    "</ul>\n\n>WardPosFtr\n";

TEST(WriteWebpos, ContentsAndOneFilePerOrganisation) {
  load_table(kTable);
  fs::path dir = scratch("multi");
  testing::internal::CaptureStderr();
  write_webpos(sample(), dir.string());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(slurp(dir / "webpos.html"), kToc);
  EXPECT_EQ(slurp(dir / "bish.html"),
            "Bishopric Positions\n\n>WardPosHdr\n\n>WardPositionGroup|Bishopric Position\n"
            ">WardPositionPerson|Bishop|ASHBY, Robert\n"
            ">WardPositionUnassigned|Executive Secretary\n"
            ">WardPositionUnassigned|Ward Clerk\n"
            "\n>WardPosGroupDone\n\n>WardPosFtr\n");
  EXPECT_EQ(slurp(dir / "pri.html"),
            "Primary Positions\n\n>WardPosHdr\n\n>WardPositionGroup|Primary Position\n"
            ">WardPositionPerson|President|CARTER, Jane\n"
            "\n>WardPosGroupDone\n\n>WardPosFtr\n");
  size_t files = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 3u);  // no file for the organisation without abbreviation
}

TEST(WriteWebpos, NullListAndMissingTable) {
  load_table(kTable);
  fs::path dir = scratch("null");
  write_webpos(nullptr, dir.string());
  EXPECT_EQ(slurp(dir / "webpos.html"), kToc);

  wardorgs_clear();
  testing::internal::CaptureStderr();
  wardorgs_parse((dir / "absent.txt").c_str());
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(wardorgs_count(), -1);
  const std::string fixed = "Ward Position List\n\n>WardPosHdr\n<ul>\n</ul>\n\n>WardPosFtr\n";
  write_webpos(nullptr, dir.string());
  EXPECT_EQ(slurp(dir / "webpos.html"), fixed);
  write_webpos_onepage(nullptr, dir.string());
  EXPECT_EQ(slurp(dir / "webpos.html"), fixed);
}

TEST(WriteWebpos, SlashesInAnAbbreviationStayInTheFolder) {
  load_table("EVIL|Evil|../evil\nDEEP|Deep|a/b/c\n");
  fs::path dir = scratch("slash") / "web";
  fs::create_directories(dir);
  WardOrg* list = nullptr;
  add_pos(add_org(list, "Evil", "../evil"), "Mole", "X, Y");
  add_org(list, "Deep", "a/b/c");
  add_org(list, "Rooted", "/tmp/kinroll_wardpos_test_rooted");
  testing::internal::CaptureStderr();
  write_webpos(list, dir.string());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(fs::exists(dir.parent_path() / "evil.html"));
  EXPECT_FALSE(fs::exists("/tmp/kinroll_wardpos_test_rooted.html"));
  EXPECT_EQ(slurp(dir / ".._evil.html"),
            "Evil Positions\n\n>WardPosHdr\n\n>WardPositionGroup|Evil Position\n"
            ">WardPositionPerson|Mole|X, Y\n\n>WardPosGroupDone\n\n>WardPosFtr\n");
  EXPECT_TRUE(fs::exists(dir / "a_b_c.html"));
  EXPECT_TRUE(fs::exists(dir / "_tmp_kinroll_wardpos_test_rooted.html"));
  // The contents link to the files as written.
  EXPECT_NE(slurp(dir / "webpos.html").find("<a href=\".._evil.html\" class=\"orgndx\">Evil</a>"),
            std::string::npos);
}

TEST(WriteWebpos, FailuresAreReportedByFileName) {
  load_table(kTable);
  fs::path dir = scratch("fail");
  const std::string missing = (dir / "nowhere").string();
  testing::internal::CaptureStderr();
  write_webpos(sample(), missing);
  write_webpos_onepage(sample(), missing);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Can't open output TOC file (" + missing + "/webpos.html)\n"
            "Can't open output TOC file (" + missing + "/webpos.html)\n");
  EXPECT_FALSE(fs::exists(missing));

  // An organisation file that cannot be opened is skipped; the next is written.
  fs::create_directories(dir / "bish.html");
  testing::internal::CaptureStderr();
  write_webpos(sample(), dir.string());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can't open " + (dir / "bish.html").string() + "\n");
  EXPECT_EQ(slurp(dir / "webpos.html"), kToc);
  EXPECT_TRUE(fs::exists(dir / "pri.html"));
}

TEST(WriteWebposOnepage, EveryPositionOfEveryOrganisation) {
  load_table(kTable);
  fs::path dir = scratch("one");
  write_webpos_onepage(sample(), dir.string());
  std::string page = slurp(dir / "webpos.html");
  EXPECT_EQ(page.find("Ward Position List\n\n>WardPosHdr\n<ul>\n<a href=\"bish.html\">\n"
                      "<li>Bishopric</li></a>\n"),
            0u);
  // A position without title is written all the same; so is an
  // organisation without abbreviation.
  EXPECT_NE(page.find(">WardPosEnd\n>WardPos\n\n>WardPosPerson\nDAVIS, Paul\n>WardPosPersonEnd\n"),
            std::string::npos);
  const std::string last =
      "Activities Positions\n\n>WardPosHdr\n\n>WardPosGroup\n<a name=\"Activities Position\">\n"
      "Activities\n</a>\n>WardPosGroupEnd\n>WardPos\nChair\n>WardPosUnassigned\n>WardPosEnd\n"
      "\n>WardPosGroupDone\n\n>WardPosFtr\n";
  ASSERT_GE(page.size(), last.size());
  EXPECT_EQ(page.substr(page.size() - last.size()), last);
  EXPECT_FALSE(fs::exists(dir / "bish.html"));
}

}  // namespace
