// Texts that look like shell syntax or like paths: a unit name, a typed
// name, a unit names file or a report may hold them, and none may run a
// command of its own through a converter command or place a file outside
// the folder it is written to.

#include <set>

#include "e2e/harness.h"
#include "e2e/printout.h"

namespace e2e {
namespace {

/// Texts that would run `touch pwnedN` if a shell took them as syntax, or
/// print garbage if taken as a printf format.
const char* const kHostile[] = {
    "a;touch pwned1",
    "$(touch pwned2)",
    "`touch pwned3`",
    "x\"; touch pwned4; echo \"",
    "it's 'quoted'; touch pwned5 #",
    "back\\slash $HOME \\",
    "new\nline; touch pwned6",
    "-x | touch pwned7 & touch pwned8 > pwned9",
    "100%s %n%x%%",  // nor as a format
};

/// No file `pwnedN` that a command would have made, anywhere in the scratch
/// directory.
void expect_nothing_ran(const Scratch& s) {
  for (const auto& [name, bytes] : s.files()) {
    std::string base = fs::path(name).filename().string();
    EXPECT_FALSE(base.size() == 6 && base.rfind("pwned", 0) == 0) << "a text ran a command: " << name;
  }
}

std::string directory() {
  Member231 ann{"Ann", false, 'F', "", "02Feb80", 45, "300-0001-0001"};
  return line231("NYGAARD", &ann) + line231(" 4 Spruce Ct") + line231(" Birchwood, UT 84002") +
         line231(" 555-0144") + "-----\n";
}

TEST(Injection, UnitNameReachesTheConverterAsText) {
  for (const char* unit_name : kHostile) {
    SCOPED_TRACE(unit_name);
    Scratch s;
    s.write("mis231.txt", directory());
    const std::string conv = install_recorder(s);
    Outcome r = s.run({"-u", unit_name, "-i", conv}, "201\n\n220\n\n22\n\nq\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(s.read("converter.log"), std::string("[wardph]\n[") + unit_name + " Phone List]\n" +
                                           "[wardsap]\n[" + unit_name + " Single Adult Parent List]\n");
    EXPECT_EQ(s.read("wardph.txt").rfind(std::string("**") + unit_name + " Phone List ", 0), 0u);

    fs::remove(s.path("converter.log"));
    Outcome batch = s.run({"-c", "-u", unit_name, "-i", conv}, "");
    EXPECT_EQ(batch.status, 0);
    EXPECT_NE(s.read("converter.log").find(std::string("[wardzip]\n[") + unit_name +
                                           " Zipcode List]\n"),
              std::string::npos);
    expect_nothing_ran(s);
  }
}

TEST(Injection, TypedNamesReachTheConverterAsText) {
  for (const char* typed : kHostile) {
    if (std::string(typed).find('\n') != std::string::npos) continue;  // a console line ends there
    SCOPED_TRACE(typed);
    Scratch s;
    s.write("wardunits.txt", "ROCKY BRANCH|rb|Rocky Branch\n");
    const std::string conv = install_recorder(s);
    fs::create_directory(s.path(typed));
    const std::string t(typed);
    Outcome r = s.run({"-i", conv},
                      "220\n" + t + "\n720\n" + t + "\n730\n" + t + "\n" + t + "\nq\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(s.read("converter.log"), "[" + t + "]\n[Ward Phone List]\n" +
                                           "[" + t + "/rbPos]\n[Rocky Branch Positions]\n" +
                                           "[" + t + "/" + t + "]\n[Stake Alphabetical List]\n");
    EXPECT_TRUE(s.exists(t + ".txt"));
    EXPECT_TRUE(s.exists(t + "/rbPos.txt"));
    EXPECT_TRUE(s.exists(t + "/" + t + ".txt"));
    expect_nothing_ran(s);
  }
}

TEST(Injection, UnitFileAndReportTextsReachTheConverterAsText) {
  Scratch s;
  s.write("wardunits.txt",
          "ROCKY BRANCH|$(touch pwned1);x|`touch pwned2` \"q\" $HOME \\ 'a' & touch pwned3\n");
  // A stake report whose holder, heading and phone hold shell syntax.
  const std::string header = pad("", 12) + "WARD ORGANIZATION REPORT\n" + pad("", 12) +
                             "ROCKY BRANCH\n\n\n\n\n";
  s.write("smis.txt", header + pad("", 16) + "$(touch pwned4) `touch pwned5`\n" + pad("", 12) +
                          pad("President;touch pwned6", 25) + pad("Able, $(touch pwned7)", 31) +
                          pad("", 6) + "`touch pwned8`\n");
  const std::string conv = install_recorder(s);
  fs::create_directory(s.path("stakedoc"));
  Outcome r = s.run({"-i", conv}, "701\n\n720\n\n730\n\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read("converter.log"),
            "[stakedoc/$(touch pwned1);xPos]\n"
            "[`touch pwned2` \"q\" $HOME \\ 'a' & touch pwned3 Positions]\n"
            "[stakedoc/alpha]\n[Stake Alphabetical List]\n");
  EXPECT_EQ(s.read("stakedoc/alpha.txt"),
            "^A\nAble, $(touch pwned7) [$(touch pwned1);x]\n"
            "\t$(touch pwned4) `touch pwned5`: President;touch pwned6\n<^>\n");
  expect_nothing_ran(s);
}

TEST(Injection, HeadingsAndAbbreviationsKeepWebFilesInTheirFolder) {
  Scratch s;
  s.write("wardorgs.txt",
          "BISHOPRIC|Bishopric|../up1\nRELIEF SOCIETY|Relief Society|/tmp/kinroll_e2e_rooted\n");
  s.write("mis121.txt", " BISHOPRIC\nBishop\n RELIEF SOCIETY\nPresident\n ../../up2\nClerk\n"
                        " a/b\nTeacher\n");
  s.write("wardunits.txt", "ROCKY BRANCH|../../up3|Rocky\n");
  s.write("smis.txt", data("stake/smis.txt"));
  fs::create_directories(s.path("deep/web"));
  fs::create_directories(s.path("deep/one"));
  fs::create_directories(s.path("deep/stakein"));
  Outcome r = s.run({}, "101\n\n120\ndeep/web\n130\ndeep/one\n790\n\n\ny\ndeep/stakein\nn\nq\n");
  EXPECT_EQ(r.status, 0);

  std::set<std::string> written;
  for (const auto& [name, bytes] : s.files()) written.insert(name);
  const std::set<std::string> expected = {
      "wardunits.txt", "wardorgs.txt", "mis121.txt", "smis.txt", "smis.csv",
      "deep/web/webpos.html", "deep/web/.._up1.html", "deep/web/_tmp_kinroll_e2e_rooted.html",
      "deep/web/.._.._up2.html", "deep/web/a_b.html",
      "deep/one/webpos.html",
      "deep/stakein/stakepos.html"};
  EXPECT_EQ(written, expected);
  EXPECT_FALSE(fs::exists("/tmp/kinroll_e2e_rooted.html"));
  // The contents link to the files as they were written.
  EXPECT_NE(s.read("deep/web/webpos.html").find("href=\".._up1.html\""), std::string::npos);
}

}  // namespace
}  // namespace e2e
