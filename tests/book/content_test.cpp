// What the booklet shows: the directory's blocks hold the phone book's
// entry in UTF-8 with a letter heading where the initial changes, the
// positions' blocks their titles and holders, the cover's counts and date,
// and the unit and date read from the directory's page header.

#include "book/content.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/heading.h"
#include "support/capture.h"

namespace {

using testsupport::add_family;

WardMember* add_member(WardFamily* fam, int type, Text fname) {
  WardMember* mem = create_ward_member();
  mem->type = type;
  mem->fname = std::move(fname);
  append_member(fam, mem);
  return mem;
}

/// A block's paragraphs as "text|bold|indent" lines, the styles' initials
/// in front of headings.
std::vector<std::string> shown(const Block& block) {
  std::vector<std::string> lines;
  for (const Paragraph& p : block.paragraphs) {
    std::string mark = p.style == Style::kLetter    ? "L:"
                       : p.style == Style::kSection ? "S:"
                       : p.style == Style::kGroup   ? "G:"
                                                    : "";
    lines.push_back(mark + p.text + "|" + std::to_string(p.bold) + "|" +
                    std::to_string(p.indent).substr(0, 4));
  }
  return lines;
}

TEST(DirectoryBlocks, ThePhoneBookEntryInUtf8WithLetterHeadings) {
  WardFamily* list = nullptr;
  WardFamily* f = add_family(list, "ADAMS", "John", "555-1234");
  add_member(f, 1, "John");
  add_member(f, 2, "[Mary]");
  add_member(f, 3, "Kim");
  add_member(f, 3, "Zo\xeb");
  f->addr = "12 Elm St";
  f->addr2 = "Apt 3";  // the phone book has no second address line
  f->city = "Provo";
  f->state = "UT";
  f->zip = "84601";
  f->zip2 = "1234";
  f = add_family(list, "ALLEN", "Sue");
  add_member(f, 1, "Sue");
  f = add_family(list, "\xd6ZTURK", "Ay");  // Latin-1 O with diaeresis
  add_member(f, 1, "Ay");
  f->phone = "";
  add_family(list, "WHITAKER", "X")->sname = "ADAMS";
  add_family(list, std::nullopt, "Nobody");

  std::vector<Block> blocks = directory_blocks(list);
  ASSERT_EQ(blocks.size(), 5u);
  EXPECT_EQ(shown(blocks[0]), (std::vector<std::string>{
                                  "L:A|0|0.00", "ADAMS, John|5|0.00", "Kim, Zo\xc3\xab|0|1.50",
                                  "12 Elm St|0|0.75", "Provo, UT 84601|0|0.75",
                                  "555-1234|0|0.75"}));
  EXPECT_EQ(blocks[0].letter, "A");
  EXPECT_EQ(shown(blocks[1]), (std::vector<std::string>{"ALLEN, Sue|5|0.00"}));
  EXPECT_EQ(blocks[1].letter, "A");
  EXPECT_LT(blocks[1].space_before, blocks[0].space_before);
  EXPECT_EQ(shown(blocks[2]),
            (std::vector<std::string>{"L:\xc3\x96|0|0.00", "\xc3\x96ZTURK, Ay|7|0.00"}));
  EXPECT_EQ(blocks[2].letter, "\xc3\x96");
  EXPECT_EQ(shown(blocks[3]), (std::vector<std::string>{"L:W|0|0.00", "WHITAKER|8|0.00"}));
  EXPECT_EQ(shown(blocks[4]), (std::vector<std::string>{"|0|0.00"}));
  EXPECT_EQ(blocks[4].letter, "");

  int households = 0, members = 0;
  count_households(list, &households, &members);
  EXPECT_EQ(households, 4);  // not the cross reference
  EXPECT_EQ(members, 6);
}

TEST(PositionBlocks, TitlesHoldersAndDates) {
  EXPECT_TRUE(position_blocks(nullptr).empty());

  WardOrg* bishopric = create_ward_org();
  bishopric->org = "Bishopric";
  WardPos* bishop = create_ward_pos(bishopric);
  bishop->pos = "Bishop";
  bishop->per = "FAIRBANKS, Curtis";
  bishop->sus = "12 Jan 20";
  WardPos* clerk = create_ward_pos(bishopric);
  clerk->pos = "Clerk";
  clerk->per = "M\xdcLLER, Jos\xe9";
  bishop->next = clerk;
  bishopric->pos = bishop;
  WardOrg* empty = create_ward_org();
  empty->org = "Choir";
  WardOrg* primary = create_ward_org();
  primary->org = "Primary";
  primary->pos = create_ward_pos(primary);
  primary->pos->pos = "Pianist";
  bishopric->next = empty;
  empty->next = primary;

  std::vector<Block> blocks = position_blocks(bishopric);
  ASSERT_EQ(blocks.size(), 4u);
  EXPECT_EQ(shown(blocks[0]),
            (std::vector<std::string>{"S:Ward Positions|0|0.00", "G:Bishopric|0|0.00",
                                      "Bishop|0|0.00",
                                      "FAIRBANKS, Curtis, sustained 12\u00a0Jan\u00a020|0|0.75"}));
  EXPECT_EQ(shown(blocks[1]),
            (std::vector<std::string>{"Clerk|0|0.00", "M\xc3\x9cLLER, Jos\xc3\xa9|0|0.75"}));
  EXPECT_EQ(shown(blocks[2]), (std::vector<std::string>{"G:Choir|0|0.00"}));
  EXPECT_EQ(shown(blocks[3]),
            (std::vector<std::string>{"G:Primary|0|0.00", "Pianist|0|0.00", "vacant|0|0.75"}));
  EXPECT_EQ(blocks[0].letter, "");
}

TEST(Cover, MonthAndYear) {
  EXPECT_EQ(month_and_year(1, 2024), "January 2024");
  EXPECT_EQ(month_and_year(12, 1999), "December 1999");
}

TEST(DirectoryHeading, UnitAndDateOfTheLineUnderTheTitle) {
  struct Case {
    const char* line;
    const char* unit;
    int month;
    int year;
  };
  const Case cases[] = {
      {"Alder Springs 2nd Ward                                   14 Apr 2024", "Alder Springs 2nd Ward",
       4, 2024},
      {"Saint-R\xe9my Branch   Extra  3 Dec 1999", "Saint-R\xe9my Branch", 12, 1999},
      {"Lone Ward", "Lone Ward", 0, 0},
      {"Ward 14 Apr 24", "Ward 14 Apr 24", 0, 0},          // a two-digit year is no date
      {"Ward    14 April 2024", "Ward", 0, 0},             // nor a month spelt out
      {"14 Apr 2024", "", 4, 2024},
      {"", "", 0, 0},
  };
  for (const Case& c : cases) {
    DirectoryHeading h = parse_heading_line(c.line);
    EXPECT_EQ(h.unit, c.unit) << c.line;
    EXPECT_EQ(h.month, c.month) << c.line;
    EXPECT_EQ(h.year, c.year) << c.line;
  }
}

}  // namespace
