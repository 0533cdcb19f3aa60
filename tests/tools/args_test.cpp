// The command line of the one-job programs: long options with and without
// values, positional names, and the complaints about bad options.

#include "tools/args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr ToolOption kOptions[] = {{"csv", true}, {"help", false, 'h'}, {"unit", true, 'u'}};

/// Parses `words` (the program name is added in front).
bool parse(std::vector<std::string> words, ToolArgs* args, std::string* error) {
  words.insert(words.begin(), "prog");
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  return parse_tool_args(static_cast<int>(argv.size()), argv.data(), kOptions, args, error);
}

TEST(ToolArgs, ValuesSeparateOrJoinedAndPositionalsInOrder) {
  ToolArgs args;
  std::string error;
  ASSERT_TRUE(parse({"old", "--csv", "a.csv", "new", "--csv=b.csv", "--help"}, &args, &error));
  EXPECT_EQ(args.positional, (std::vector<std::string>{"old", "new"}));
  ASSERT_NE(args.value("csv"), nullptr);
  EXPECT_EQ(*args.value("csv"), "b.csv");  // the last one given counts
  EXPECT_TRUE(args.has("help"));
  EXPECT_EQ(args.options.size(), 3u);
}

TEST(ToolArgs, ValueIsTakenWhateverItLooksLike) {
  ToolArgs args;
  std::string error;
  ASSERT_TRUE(parse({"--csv", "--help", "x"}, &args, &error));
  EXPECT_EQ(*args.value("csv"), "--help");
  EXPECT_FALSE(args.has("help"));
  EXPECT_EQ(args.positional, std::vector<std::string>{"x"});

  ToolArgs empty;
  ASSERT_TRUE(parse({"--csv="}, &empty, &error));
  ASSERT_NE(empty.value("csv"), nullptr);
  EXPECT_EQ(*empty.value("csv"), "");
}

TEST(ToolArgs, DoubleDashEndsOptionsAndSingleDashIsAName) {
  ToolArgs args;
  std::string error;
  ASSERT_TRUE(parse({"-", "--", "-x", "--csv", "--"}, &args, &error));
  EXPECT_EQ(args.positional, (std::vector<std::string>{"-", "-x", "--csv", "--"}));
  EXPECT_FALSE(args.has("csv"));
}

TEST(ToolArgs, ShortOptionsAreStoredUnderTheirLongName) {
  ToolArgs args;
  std::string error;
  ASSERT_TRUE(parse({"-uNorth", "a", "-h", "-u", "--csv"}, &args, &error));
  EXPECT_TRUE(args.has("help"));
  EXPECT_EQ(*args.value("unit"), "--csv");  // the last one, whatever it looks like
  EXPECT_FALSE(args.has("csv"));
  EXPECT_EQ(args.options.front(), (std::pair<std::string, std::string>{"unit", "North"}));
  EXPECT_EQ(args.positional, std::vector<std::string>{"a"});
}

TEST(ToolArgs, BadOptionsAreNamed) {
  struct Case {
    std::vector<std::string> words;
    const char* error;
  } cases[] = {
      {{"a", "--cvs", "x"}, "unknown option --cvs"},
      {{"--csv"}, "option --csv needs a value"},
      {{"--help=yes"}, "option --help takes no value"},
      {{"--=x"}, "unknown option --"},
      {{"a", "-x"}, "unknown option -x"},
      {{"-hu"}, "unknown option -hu"},
      {{"-c", "x"}, "unknown option -c"},
      {{"-u"}, "option -u needs a value"},
  };
  for (const Case& c : cases) {
    ToolArgs args;
    std::string error;
    EXPECT_FALSE(parse(c.words, &args, &error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
