#include "model/splitfld.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/pages.h"

namespace {

/// Reads every line of `text` with read_line.
std::vector<std::string> read_all(const std::string& text) {
  FILE* fp = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  std::vector<std::string> lines;
  std::string line;
  while (read_line(line, fp) == 0) lines.push_back(line);
  std::fclose(fp);
  return lines;
}

TEST(ReadLine, CutsAtLineFeedCarriageReturnAndNul) {
  std::string text = "one\r\ntwo\nthree\rjunk\nfo";
  text += '\0';
  text += "ur\nlast";
  EXPECT_EQ(read_all(text), (std::vector<std::string>{"one", "two", "three", "fo", "last"}));
}

TEST(ReadLine, LongLinesComeInPiecesOf511) {
  std::string longline(600, 'x');
  longline[510] = 'a';
  longline[511] = 'b';
  auto lines = read_all(longline + "\nnext\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 511u);
  EXPECT_EQ(lines[0].back(), 'a');
  EXPECT_EQ(lines[1], "b" + std::string(88, 'x'));
  EXPECT_EQ(lines[2], "next");
}

TEST(ReadLine, LineOfExactly511EndsWithItsLineFeedInTheNextRead) {
  // The line feed after 511 characters is read by the next call as an empty line.
  auto lines = read_all(std::string(511, 'y') + "\nz\n");
  EXPECT_EQ(lines, (std::vector<std::string>{std::string(511, 'y'), "", "z"}));
}

TEST(ReadLine, EndOfInputGivesMinusOne) {
  EXPECT_TRUE(read_all("").empty());
  std::string line = "stale";
  FILE* fp = fmemopen(const_cast<char*>("a"), 1, "r");
  EXPECT_EQ(read_line(line, fp), 0);
  EXPECT_EQ(line, "a");
  EXPECT_EQ(read_line(line, fp), -1);
  std::fclose(fp);
}

TEST(Fields, ExtractAndTrimStayInsideTheLine) {
  EXPECT_EQ(extract_field("abc", 1, 10), "bc");
  EXPECT_EQ(extract_field("abc", 5, 10), "");
  EXPECT_EQ(extract_field("abcdef", 4, 4), "");
  EXPECT_EQ(extract_field("abcdef", 4, 2), "");
  EXPECT_EQ(extract_field("  ab  ", 0, 6), "  ab  ");
  EXPECT_EQ(rtrim_field("Smith   x", 0, 8), "Smith");
  EXPECT_EQ(rtrim_field("   ", 0, 3), "");
  EXPECT_EQ(rtrim_field("J", 0, 5), "J");
  EXPECT_EQ(rtrim_field("J  ", 0, 3), "J");
  EXPECT_EQ(rtrim_field("  J", 0, 3), "  J");
  EXPECT_EQ(rtrim_field("a\t\v\f\r", 0, 5), "a");
  EXPECT_EQ(rtrim_field("a\xa0", 0, 2), "a\xa0");  // non-ASCII is never white space
}

TEST(Fields, TrimViewsAndCharacterClasses) {
  EXPECT_EQ(ltrim_view(" \t a b \r"), "a b \r");
  EXPECT_EQ(rtrim_view(" \t a b \r"), " \t a b");
  EXPECT_EQ(trim_view(" \t a b \r"), "a b");
  EXPECT_EQ(trim_view(" \v\f "), "");
  EXPECT_EQ(trim_view(""), "");
  EXPECT_TRUE(is_digit('0') && is_digit('9') && !is_digit('a') && !is_digit('/'));
  EXPECT_TRUE(is_upper('A') && is_upper('Z') && !is_upper('a') && !is_upper('@'));
}

TEST(Fields, ToUpperTakesOnlyAToZ) {
  EXPECT_EQ(to_upper('a'), 'A');
  EXPECT_EQ(to_upper('z'), 'Z');
  EXPECT_EQ(to_upper('M'), 'M');
  EXPECT_EQ(to_upper('`'), '`');
  EXPECT_EQ(to_upper('{'), '{');
  EXPECT_EQ(to_upper('\xe9'), '\xe9');
}

TEST(Fields, ReadNumberSkipsBlanksAndHoldsAtIntMax) {
  EXPECT_EQ(read_number("ab  42x", 2), 42);
  EXPECT_EQ(read_number("007", 0), 7);
  EXPECT_EQ(read_number("-5", 0), 0);
  EXPECT_EQ(read_number("+5", 0), 0);
  EXPECT_EQ(read_number("   ", 0), 0);
  EXPECT_EQ(read_number("12", 2), 0);
  EXPECT_EQ(read_number("12", 9), 0);
  EXPECT_EQ(read_number("2147483647", 0), 2147483647);
  EXPECT_EQ(read_number("2147483648", 0), 2147483647);
  EXPECT_EQ(read_number("99999999999999999999999", 0), 2147483647);
}

TEST(Fields, SkipLinesTellsWhetherTheInputLasted) {
  std::string text = "a\nb\nc\n";
  FILE* fp = fmemopen(text.data(), text.size(), "r");
  std::string line;
  EXPECT_TRUE(skip_lines(line, fp, 2));
  EXPECT_EQ(line, "b");
  EXPECT_FALSE(skip_lines(line, fp, 2));
  std::fclose(fp);
}

TEST(SplitFlds, DelimiterRuns) {
  std::vector<std::string_view> f;
  EXPECT_EQ(split_flds("a|b|c", f, '|', false, 4), 3);
  EXPECT_EQ(f, (std::vector<std::string_view>{"a", "b", "c"}));
  EXPECT_EQ(split_flds("a||b", f, '|', false, 4), 3);
  EXPECT_EQ(f, (std::vector<std::string_view>{"a", "", "b"}));
  EXPECT_EQ(split_flds("a||b", f, '|', true, 4), 2);
  EXPECT_EQ(f, (std::vector<std::string_view>{"a", "b"}));
  EXPECT_EQ(split_flds("a|b|", f, '|', false, 4), 3);
  EXPECT_EQ(f, (std::vector<std::string_view>{"a", "b", ""}));
  EXPECT_EQ(split_flds("a|b||", f, '|', true, 4), 3);
  EXPECT_EQ(f, (std::vector<std::string_view>{"a", "b", ""}));
  EXPECT_EQ(split_flds("||a", f, '|', true, 4), 2);  // skip acts only after a field
  EXPECT_EQ(f, (std::vector<std::string_view>{"", "a"}));
}

TEST(SplitFlds, SlotsRunningOut) {
  std::vector<std::string_view> f;
  EXPECT_EQ(split_flds("1|2|3|4|5", f, '|', false, 4), 4);
  EXPECT_EQ(f, (std::vector<std::string_view>{"1", "2", "3", "4"}));
  EXPECT_EQ(split_flds("1|2|", f, '|', false, 2), 2);  // no slot for the trailing empty field
  EXPECT_EQ(f, (std::vector<std::string_view>{"1", "2"}));
  EXPECT_EQ(split_flds("", f, '|', false, 4), 0);
  EXPECT_EQ(split_flds("plain", f, '|', false, 4), 1);
  EXPECT_EQ(split_flds("a|b", f, '|', false, 0), 0);
}

TEST(Tables, MonthsTypesGroups) {
  EXPECT_EQ(convert_month("Jan"), 1);
  EXPECT_EQ(convert_month("Dec"), 12);
  EXPECT_EQ(convert_month("jan"), 0);
  EXPECT_EQ(convert_month("January"), 0);
  EXPECT_EQ(convert_month(""), 0);
  EXPECT_STREQ(mem_type(1), "Head");
  EXPECT_STREQ(mem_type(2), "Spouse");
  EXPECT_STREQ(mem_type(3), "Child");
  EXPECT_STREQ(mem_type(0), "Unknown");
  EXPECT_STREQ(mem_type(4), "Unknown");
  EXPECT_STREQ(htgroup(0), "??");
  EXPECT_STREQ(htgroup(3), "HP");
  EXPECT_STREQ(htgroup(5), "RS");
  EXPECT_STREQ(htgroup(6), "??");
  EXPECT_STREQ(htgroup(-1), "??");
}

}  // namespace

namespace {

TEST(Pages, HeadersAndFooters) {
  EXPECT_TRUE(begins_page("DIRECTORY OF MEMBERS (MIS 231)", "DIRECTORY"));
  EXPECT_TRUE(begins_page("\fDIRE", "DIRECTORY"));
  EXPECT_FALSE(begins_page("*DIRE", "DIRECTORY"));
  EXPECT_TRUE(begins_page("*WARD", "WARD ORG", true));
  EXPECT_FALSE(begins_page(" DIRE", "DIRECTORY"));
  EXPECT_FALSE(begins_page("DIR", "DIRECTORY"));
  EXPECT_TRUE(begins_page("\f" + std::string(12, ' ') + "WARD ORGANIZATION REPORT", "WARD", true, 12));
  const std::string footer = std::string(44, ' ') + "For church use only";
  EXPECT_TRUE(is_page_footer(footer));
  EXPECT_TRUE(is_page_footer(std::string(44, 'x') + "For "));
  EXPECT_FALSE(is_page_footer(std::string(44, 'x') + "For"));  // 47 characters
  EXPECT_FALSE(is_page_footer(std::string(43, ' ') + "For church use only"));
}

}  // namespace
