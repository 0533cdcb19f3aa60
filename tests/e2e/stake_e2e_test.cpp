// From the stake report to the per-unit documents and the stake alphabetical
// list, through menu 700.

#include "e2e/harness.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string kStakeMenu = kBanner +
    "701 Read SMIS (Stake MIS) report\n720 Write SMIS text file(s)\n730 Write SMIS alpha list\n"
    "790 Read & Process SMIS report\n";

/// A converter that records each argument it is given on a line of its own.
const std::string kConverter =
    "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done >> converter.log\n";

void set_up(Scratch& s) {
  s.write("wardunits.txt", data("stake/wardunits.txt"));
  s.write("smis.txt", data("stake/smis.txt"));
  fs::create_directory(s.path("stakedoc"));
}

TEST(Stake, ReportToUnitDocumentsAndAlphabeticalList) {
  Scratch s;
  set_up(s);
  s.write("conv.sh", kConverter);
  fs::permissions(s.path("conv.sh"), fs::perms::owner_all);
  const std::string conv = s.path("conv.sh");

  Outcome r = s.run({"-i", conv}, "701\n\n720\n\n730\n\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Can't find unit (MAPLE CREEK 9TH WARD) in wardunits.txt\n");
  EXPECT_EQ(r.out,
            kMainMenu + kFooter + "Enter input file (smis.txt): " + kStakeMenu + kFooter +
                "Enter directory name (stakedoc): "
                "Executing " + conv + " stakedoc/mc1Pos \"Maple Creek 1st Positions\" ...\n"
                "Executing " + conv + " stakedoc/mc2Pos \"Maple Creek 2nd Positions\" ...\n"
                "Executing " + conv + " stakedoc/rbPos \"Rocky Branch Positions\" ...\n" +
                kStakeMenu + kFooter +
                "Enter directory name (stakedoc): Enter output file (alpha): "
                "Executing " + conv + " stakedoc/alpha \"Stake Alphabetical List\" ...\n" +
                kStakeMenu + kFooter + kEnd);
  for (const char* name : {"mc1Pos.txt", "mc2Pos.txt", "rbPos.txt", "alpha.txt"}) {
    EXPECT_EQ(s.read(std::string("stakedoc/") + name), data(std::string("stake/") + name))
        << name;
  }
  EXPECT_EQ(s.read("converter.log"),
            "[stakedoc/mc1Pos]\n[Maple Creek 1st Positions]\n"
            "[stakedoc/mc2Pos]\n[Maple Creek 2nd Positions]\n"
            "[stakedoc/rbPos]\n[Rocky Branch Positions]\n"
            "[stakedoc/alpha]\n[Stake Alphabetical List]\n");
}

TEST(Stake, NamesNeedingQuotesReachTheConverterAsOneArgument) {
  Scratch s;
  set_up(s);
  fs::create_directory(s.path("my docs"));
  s.write("wardunits.txt", "ROCKY BRANCH|rb|Rocky \"$(touch pwned)\" Branch\n");
  s.write("conv.sh", kConverter);
  fs::permissions(s.path("conv.sh"), fs::perms::owner_all);
  Outcome r = s.run({"-i", s.path("conv.sh")}, "701\n\n720\nmy docs\n730\nmy docs\nall of 'em\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(s.exists("pwned"));
  EXPECT_EQ(s.read("converter.log"),
            "[my docs/rbPos]\n[Rocky \"$(touch pwned)\" Branch Positions]\n"
            "[my docs/all of 'em]\n[Stake Alphabetical List]\n");
  EXPECT_EQ(s.read("my docs/all of 'em.txt"),
            "^A\nAble, Zoe [rb]\n\tPrimary: Primary Music Coordinator\n"
            "^S\nSMITH, ADAM [rb]\n\tBranch Presidency: President\n<^>\n");
}

TEST(Stake, WithoutReportOrFolder) {
  Scratch s;
  s.write("wardunits.txt", data("stake/wardunits.txt"));
  fs::create_directory(s.path("stakedoc"));
  Outcome r = s.run({}, "720\n\n730\n\nlist\n720\nnowhere\n730\nnowhere\n\n701\nnothere.txt\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("Executing"), std::string::npos);
  EXPECT_EQ(r.err,
            "Can't open output file (nowhere/mc1Pos.txt)\n"
            "Can't open output file (nowhere/mc2Pos.txt)\n"
            "Can't open output file (nowhere/rbPos.txt)\n"
            "Can't open output file (nowhere/alpha.txt)\n"
            "Can't open input file (nothere.txt)\n");
  EXPECT_EQ(s.read("stakedoc/mc1Pos.txt"), "=Maple Creek 1st Ward Positions\n<^>\n");
  EXPECT_EQ(s.read("stakedoc/mc2Pos.txt"), data("stake/mc2Pos.txt"));
  EXPECT_EQ(s.read("stakedoc/rbPos.txt"), "=Rocky Branch Ward Positions\n<^>\n");
  EXPECT_EQ(s.read("stakedoc/list.txt"), "<^>\n");
}

TEST(Stake, DocumentNotWrittenWholeRunsNoConverter) {
  Scratch s;
  set_up(s);
  s.write("conv.sh", kConverter);
  fs::permissions(s.path("conv.sh"), fs::perms::owner_all);
  s.write("stakedoc/mc1Pos.txt", "last week's document\n");
  const std::string conv = s.path("conv.sh");
  // Files may not grow past 64 bytes: only the short document of the unit
  // without organisations is written.
  Outcome r = s.run({"-i", conv}, "701\n\n720\n\n730\n\n\nq\n", 64);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Can't find unit (MAPLE CREEK 9TH WARD) in wardunits.txt\n"
            "Error writing stakedoc/mc1Pos.txt\nError writing stakedoc/rbPos.txt\n"
            "Error writing stakedoc/alpha.txt\n");
  EXPECT_EQ(s.read("converter.log"), "[stakedoc/mc2Pos]\n[Maple Creek 2nd Positions]\n");
  EXPECT_EQ(s.read("stakedoc/mc1Pos.txt"), "last week's document\n");
  EXPECT_EQ(s.read("stakedoc/mc2Pos.txt"), data("stake/mc2Pos.txt"));
  EXPECT_FALSE(s.exists("stakedoc/rbPos.txt"));
  EXPECT_FALSE(s.exists("stakedoc/alpha.txt"));
}

TEST(Stake, ReportReadTwiceListsEverythingTwice) {
  Scratch s;
  set_up(s);
  Outcome r = s.run({}, "701\n\n701\n\n720\n\nq\n");
  EXPECT_EQ(r.status, 0);
  std::string once = data("stake/rbPos.txt");
  std::string body = once.substr(once.find('\n') + 1);
  body.erase(body.size() - 4);  // the trailer
  EXPECT_EQ(s.read("stakedoc/rbPos.txt"), "=Rocky Branch Ward Positions\n" + body + body + "<^>\n");
}

}  // namespace
}  // namespace e2e
