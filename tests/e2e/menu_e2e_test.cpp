// The console as a new user meets it: menus, footers, messages, ending.

#include <filesystem>

#include "e2e/harness.h"

namespace e2e {
namespace {

const std::string kMiscMenu =
    "7 Find Specific Family\n8 List Families\n9 Save Ward List\n22 Find Single Parents w/ Children\n";
const std::string kPositionsMenu = kBanner +
    "101 Read MIS 121 (Ward Position Report)\n110 Create Ward Positions Report\n"
    "120 Create Web Page Info for Ward Positions\n130 Create Single Web Page\n";
const std::string kHomeMenu = kBanner +
    "301 Read MIS 1313 (Home Teaching) Report\n310 Create Home Teaching by Families Report\n"
    "312 Create Home Teaching by Districts Report\n320 Create Condensed Home Teaching List\n";
const std::string kVisitMenu = kBanner +
    "401 Read MIS 1413 (Visiting Teaching) Report\n410 Create Visiting Teaching by Families Report\n"
    "412 Create Visiting Teaching by Districts Report\n420 Create Condensed Visiting Teaching List\n";
const std::string kStakeMenu = kBanner +
    "701 Read SMIS (Stake MIS) report\n720 Write SMIS text file(s)\n730 Write SMIS alpha list\n"
    "790 Read & Process SMIS report\n";

TEST(MenuSession, EveryMenuAndMessageOnItsStream) {
  Scratch s;
  Outcome r = s.run({}, "\n?\n100\n200\n300\n400\n700\n5\nabc\n201xyz\nnothere.txt\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kMainMenu + kFooter +       // start
                       kMainMenu + kFooter +   // empty line
                       kMiscMenu + kFooter +   // ?
                       kPositionsMenu + kFooter + kWardMenu + kFooter + kHomeMenu + kFooter +
                       kVisitMenu + kFooter + kStakeMenu + kFooter +
                       kFooter +                // 5: invalid
                       kMainMenu + kFooter +    // abc is option 0
                       "Enter name of report (mis231.txt): " + kWardMenu + kFooter + kEnd);
  EXPECT_EQ(r.err, "Invalid option (5)\nCan't open input file (nothere.txt)\n");
}

TEST(MenuSession, QuitWordsAndEndOfInput) {
  Scratch s;
  Outcome quit = s.run({}, "Quit now\n");
  EXPECT_EQ(quit.out, kMainMenu + kFooter + kEnd);
  EXPECT_EQ(quit.status, 0);

  Outcome eof = s.run({}, "200\n");
  EXPECT_EQ(eof.out, kMainMenu + kFooter + kWardMenu + kFooter + kEnd);
  EXPECT_EQ(eof.status, 0);

  // End of input at a prompt ends the program; the option is not carried on.
  Outcome at_prompt = s.run({}, "210\n");
  EXPECT_EQ(at_prompt.out, kMainMenu + kFooter + "Enter file name (wardfull): " + kEnd);
  EXPECT_FALSE(s.exists("wardfull.txt"));
  EXPECT_EQ(at_prompt.status, 0);
}

TEST(MenuSession, InvalidNumbersAndCommandLineOptions) {
  Scratch s;
  Outcome r = s.run({"-x", "-uStake"}, "2\n-3\n7\n99999\nq\n");
  EXPECT_EQ(r.out, kMainMenu + kFooter + kFooter + kFooter + kFooter + kFooter + kEnd);
  EXPECT_EQ(r.err,
            "Invalid option ... ignored\nInvalid option (2)\nInvalid option (-3)\n"
            "Invalid option (99999)\n");
}

TEST(MenuSession, MissingUnitNamesFileIsReportedOnce) {
  Scratch s;
  std::filesystem::remove(s.path("wardunits.txt"));
  Outcome r = s.run({}, "q\n");
  EXPECT_EQ(r.err.find("Couldn't open wardunits.txt file\n"), 0u);
  EXPECT_EQ(r.out, kMainMenu + kFooter + kEnd);
}

TEST(MenuSession, ConsoleLinesAreReadWhole) {
  Scratch s;
  // An over-long answer is one answer; a NUL byte ends a line's text.
  std::string console = "200" + std::string(600, '7') + "\n" + "5" + std::string(1, '\0') + "0\nq\n";
  Outcome r = s.run({}, console);
  EXPECT_EQ(r.out, kMainMenu + kFooter + kFooter + kFooter + kEnd);
  EXPECT_EQ(r.err, "Invalid option (2147483647)\nInvalid option (5)\n");
}

TEST(MenuSession, BatchRunEndsWithoutAMenu) {
  Scratch s;
  Outcome r = s.run({"-c"}, "");
  EXPECT_EQ(r.status, 0);
  // No report at all: each missing one is named, nothing is written.
  EXPECT_EQ(r.out,
            "Can't open MIS231.TXT\nCan't open MIS1313.TXT\nCan't open MIS1413.TXT for input!\n"
            "Can't open MIS121 file!\n" + kEnd);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.dir()),
                          std::filesystem::directory_iterator()),
            3);  // the two configuration files and the console script
}

TEST(MenuSession, HelpAndVersionEndWithoutStartingUp) {
  Scratch s;
  Outcome help = s.run({"--help"}, "");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: kinroll", 0), 0u);
  EXPECT_EQ(help.err, "");
  Outcome version = s.run({"-c", "--version"}, "");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.substr(0, version.out.find('\n')), version_line("kinroll"));
  EXPECT_NE(version.out.find("License MIT"), std::string::npos);
}

}  // namespace
}  // namespace e2e
