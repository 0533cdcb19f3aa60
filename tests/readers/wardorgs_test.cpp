#include "readers/wardorgs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

/// Writes `text` to a file of its own under the test's temporary folder and
/// returns its name.
std::string table_file(const std::string& name, const std::string& text) {
  fs::path dir = fs::path(testing::TempDir()) / "wardorgs_test";
  fs::create_directories(dir);
  fs::path path = dir / name;
  FILE* fp = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), fp);
  std::fclose(fp);
  return path.string();
}

/// Parses `text` as the only table.
int load(const std::string& name, const std::string& text) {
  wardorgs_clear();
  return wardorgs_parse(table_file(name, text).c_str());
}

TEST(WardOrgs, EntryNumbersFollowTheFileAndCommentsAreNotCounted) {
  ASSERT_EQ(load("two.txt", "# organisations of the ward\n"
                            "ELDERS QUORUM|Elders Quorum|eq\n"
                            "*RELIEF SOCIETY|starred lines are comments|x\n"
                            "RELIEF SOCIETY|Relief Society|rs\n"),
            2);
  EXPECT_EQ(wardorgs_count(), 2);
  ASSERT_NE(wardorgs_get_entry_num(0), nullptr);
  EXPECT_EQ(wardorgs_get_entry_num(0)->hdr, "ELDERS QUORUM");
  EXPECT_EQ(wardorgs_get_entry_num(1)->hdr, "RELIEF SOCIETY");
  EXPECT_EQ(wardorgs_get_entry_num(2), nullptr);
  EXPECT_EQ(wardorgs_get_entry_num(-1), nullptr);
  // The table runs bottom-up: the last line is the first entry.
  EXPECT_EQ(wardorgs_get_entry_num(1)->next, wardorgs_get_entry_num(0));
  EXPECT_EQ(wardorgs_get_entry_num(0)->next, nullptr);

  const WardOrgs* rs = wardorgs_find_hdr("RELIEF SOCIETY");
  ASSERT_EQ(rs, wardorgs_get_entry_num(1));
  EXPECT_EQ(wardorgs_get_name(rs), "Relief Society");
  EXPECT_EQ(wardorgs_get_abbr(rs), "rs");
  EXPECT_EQ(wardorgs_abbr_for_hdr("ELDERS QUORUM"), "eq");
  EXPECT_EQ(wardorgs_name_for_hdr("ELDERS QUORUM"), "Elders Quorum");
  EXPECT_EQ(wardorgs_find_hdr("*RELIEF SOCIETY"), nullptr);
}

TEST(WardOrgs, HeadingsMatchOnlyExactly) {
  load("exact.txt", "PRIMARY|Primary|pri\n");
  EXPECT_NE(wardorgs_find_hdr("PRIMARY"), nullptr);
  EXPECT_EQ(wardorgs_find_hdr("Primary"), nullptr);
  EXPECT_EQ(wardorgs_find_hdr("PRIMARY "), nullptr);
  EXPECT_EQ(wardorgs_find_hdr("PRIMAR"), nullptr);
  EXPECT_FALSE(wardorgs_abbr_for_hdr("primary"));
  EXPECT_FALSE(wardorgs_name_for_hdr("PRIMARY "));
}

TEST(WardOrgs, FieldsAreTakenAsWritten) {
  ASSERT_EQ(load("fields.txt", "NO BAR AT ALL\n"
                               "A|B|C|D|E\n"
                               "\n"
                               " SPACED | Spaced Name | sp \n"
                               "ONE|\n"
                               "WINDOWS|Line End|win\r\n"),
            6);
  const WardOrgs* e = wardorgs_get_entry_num(0);
  EXPECT_EQ(e->hdr, "NO BAR AT ALL");
  EXPECT_EQ(e->name, "");
  EXPECT_EQ(e->abbr, "");
  e = wardorgs_get_entry_num(1);
  EXPECT_EQ(e->hdr, "A");
  EXPECT_EQ(e->name, "B");
  EXPECT_EQ(e->abbr, "C");
  // An empty line is an entry of three empty texts with a number of its own.
  e = wardorgs_get_entry_num(2);
  EXPECT_EQ(e->hdr, "");
  EXPECT_EQ(e->name, "");
  EXPECT_EQ(e->abbr, "");
  e = wardorgs_get_entry_num(3);
  EXPECT_EQ(e->hdr, " SPACED ");
  EXPECT_EQ(e->name, " Spaced Name ");
  EXPECT_EQ(e->abbr, " sp ");
  e = wardorgs_get_entry_num(4);
  EXPECT_EQ(e->hdr, "ONE");
  EXPECT_EQ(e->name, "");
  EXPECT_EQ(e->abbr, "");
  e = wardorgs_get_entry_num(5);
  EXPECT_EQ(e->abbr, "win");
  EXPECT_EQ(wardorgs_find_hdr(" SPACED "), wardorgs_get_entry_num(3));
}

TEST(WardOrgs, LaterLineWinsForTheSameHeading) {
  load("twice.txt", "PRIMARY|First Primary|p1\nYOUNG MEN|Young Men|ym\nPRIMARY|Second Primary|p2\n");
  EXPECT_EQ(wardorgs_name_for_hdr("PRIMARY"), "Second Primary");
  EXPECT_EQ(wardorgs_find_hdr("PRIMARY"), wardorgs_get_entry_num(2));
}

TEST(WardOrgs, OverlongLineIsReadInPieces) {
  std::string hdr(511, 'H');
  ASSERT_EQ(load("long.txt", hdr + "rest|Rest|r\n"), 2);
  EXPECT_EQ(wardorgs_get_entry_num(0)->hdr, hdr);
  EXPECT_EQ(wardorgs_get_entry_num(1)->hdr, "rest");
  EXPECT_EQ(wardorgs_get_entry_num(1)->abbr, "r");
}

TEST(WardOrgs, SecondParseAddsToTheTableAndRenumbers) {
  load("first.txt", "BISHOPRIC|Bishopric|bish\nPRIMARY|Primary|pri\n");
  ASSERT_EQ(wardorgs_parse(table_file("second.txt", "YOUNG WOMEN|Young Women|yw\n").c_str()), 1);
  EXPECT_EQ(wardorgs_count(), 1);
  EXPECT_EQ(wardorgs_get_entry_num(0)->hdr, "YOUNG WOMEN");
  EXPECT_EQ(wardorgs_get_entry_num(1), nullptr);
  EXPECT_EQ(wardorgs_abbr_for_hdr("PRIMARY"), "pri");
  EXPECT_EQ(wardorgs_get_entry_num(0)->next->hdr, "PRIMARY");
}

TEST(WardOrgs, MissingFileLeavesAnEmptyTableCountedMinusOne) {
  wardorgs_clear();
  std::string missing = (fs::path(testing::TempDir()) / "no_such_wardorgs.txt").string();
  testing::internal::CaptureStderr();
  EXPECT_EQ(wardorgs_parse(missing.c_str()), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can't open wardorgs file (" + missing + ")\n");
  EXPECT_EQ(wardorgs_count(), -1);
  EXPECT_EQ(wardorgs_get_entry_num(0), nullptr);
  EXPECT_EQ(wardorgs_get_entry_num(-1), nullptr);
  EXPECT_EQ(wardorgs_find_hdr(""), nullptr);

  // A folder is no table either.
  testing::internal::CaptureStderr();
  EXPECT_EQ(wardorgs_parse(testing::TempDir().c_str()), -1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Can't open wardorgs file"),
            std::string::npos);
}

TEST(WardOrgs, PrintShowsHeadingAbbreviationAndName) {
  load("print.txt", "SUNDAY SCHOOL|Sunday School|ss\n");
  testing::internal::CaptureStdout();
  wardorg_print(wardorgs_get_entry_num(0));
  wardorg_print(create_wardorg());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\nHdr: SUNDAY SCHOOL\nAbbr: ss\nName: Sunday School\n\nHdr: \nAbbr: \nName: \n");
}

}  // namespace
