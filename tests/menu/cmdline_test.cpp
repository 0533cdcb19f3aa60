#include "menu/cmdline.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "menu/handoff.h"
#include "model/shell.h"
#include "menu/prompt.h"
#include "menu/settings.h"

namespace {

/// Parses `args` (after the program name) from fresh settings; returns the
/// first option and what went to the error stream.
std::pair<int, std::string> parse(std::vector<std::string> args) {
  unit = "Ward";
  Instapp.reset();
  std::vector<char*> argv{const_cast<char*>("kinroll")};
  for (auto& a : args) argv.push_back(a.data());
  testing::internal::CaptureStderr();
  int first = parse_command_line(static_cast<int>(argv.size()), argv.data());
  return {first, testing::internal::GetCapturedStderr()};
}

TEST(CommandLine, DefaultsWithoutArguments) {
  auto [first, err] = parse({});
  EXPECT_EQ(first, 0);
  EXPECT_EQ(unit, "Ward");
  EXPECT_FALSE(Instapp.has_value());
  EXPECT_EQ(err, "");
}

TEST(CommandLine, SeparateAndJoinedValues) {
  parse({"-u", "Stake", "-i", "conv"});
  EXPECT_EQ(unit, "Stake");
  EXPECT_EQ(Instapp, "conv");
  parse({"-uStake", "-iconv -x"});
  EXPECT_EQ(unit, "Stake");
  EXPECT_EQ(Instapp, "conv -x");
  parse({"-i", "-u"});  // the next argument is consumed whatever it looks like
  EXPECT_EQ(Instapp, "-u");
  EXPECT_EQ(unit, "Ward");
}

TEST(CommandLine, LastArgumentWithoutValueAndOverrides) {
  parse({"-iconv", "-i"});
  EXPECT_FALSE(Instapp.has_value());
  parse({"-uFirst", "-u"});
  EXPECT_EQ(unit, "Ward");
  parse({"-uFirst", "-uSecond"});
  EXPECT_EQ(unit, "Second");
}

TEST(CommandLine, HelpAndVersionAnswerAndEnd) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(parse({"-u", "Stake", "--version", "-x"}).first, kAnsweredAndDone);
  EXPECT_TRUE(testing::internal::GetCapturedStdout().starts_with("kinroll (Kinroll) "));
  testing::internal::CaptureStdout();
  EXPECT_EQ(parse({"--help"}).first, kAnsweredAndDone);
  std::string usage = testing::internal::GetCapturedStdout();
  EXPECT_EQ(usage.rfind("Usage: kinroll [-c] [-i converter] [-u unit]\n", 0), 0u);
  EXPECT_NE(usage.find("mis1413.txt"), std::string::npos);
  // A value of -i is taken whatever it looks like; -h is an ordinary bad option.
  testing::internal::CaptureStdout();
  auto [first, err] = parse({"-i", "--help", "-h"});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(first, 0);
  EXPECT_EQ(Instapp, "--help");
  EXPECT_EQ(err, "Invalid option ... ignored\n");
}

TEST(CommandLine, EmptyConverterMeansNone) {
  parse({"-iconv", "-i", ""});
  EXPECT_FALSE(Instapp.has_value());
}

TEST(CommandLine, BatchAndInvalidOptions) {
  auto [first, err] = parse({"-cxyz", "plain", "-x", "-"});
  EXPECT_EQ(first, 800);
  EXPECT_EQ(err, "Invalid option ... ignored\nInvalid option ... ignored\n");
}

TEST(Settings, DateIsMonthDayYear) {
  std::tm tm{};
  tm.tm_year = 109;  // 2009
  tm.tm_mon = 0;
  tm.tm_mday = 31;
  EXPECT_EQ(format_datestr(tm), "01/31/09");
  tm.tm_year = 126;
  tm.tm_mon = 11;
  tm.tm_mday = 7;
  EXPECT_EQ(format_datestr(tm), "12/07/26");
}

TEST(Prompt, LeadingNumberOfAnOptionLine) {
  EXPECT_EQ(leading_number("200abc"), 200);
  EXPECT_EQ(leading_number("  201"), 201);
  EXPECT_EQ(leading_number("-5"), -5);
  EXPECT_EQ(leading_number("+7x"), 7);
  EXPECT_EQ(leading_number("abc"), 0);
  EXPECT_EQ(leading_number(""), 0);
  EXPECT_EQ(leading_number("99999999999999999999"), 2147483647);
}

TEST(Converter, OrdinaryNamesGiveThePlainCommand) {
  EXPECT_EQ(converter_command("conv", "wardph", "Ward", "Phone List"),
            "conv wardph \"Ward Phone List\"");
  EXPECT_EQ(converter_command("conv -q", "out/ward_ph-2.v1", "Stake", "Zipcode List"),
            "conv -q out/ward_ph-2.v1 \"Stake Zipcode List\"");
}

TEST(Converter, OtherValuesAreMadeShellSafe) {
  EXPECT_EQ(shell_word("my list"), "'my list'");
  EXPECT_EQ(shell_word("it's"), "'it'\\''s'");
  EXPECT_EQ(shell_word("$(rm -rf x)"), "'$(rm -rf x)'");
  EXPECT_EQ(shell_word(""), "''");
  EXPECT_EQ(shell_dquoted("a \"b\" \\c $d `e`"), "a \\\"b\\\" \\\\c \\$d \\`e\\`");
  EXPECT_EQ(converter_command("conv", "a b", "St. \"Jo\"", "Phone List"),
            "conv 'a b' \"St. \\\"Jo\\\" Phone List\"");
}

}  // namespace
