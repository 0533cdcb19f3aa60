// From the ward positions report to the positions list, the web-page input
// and the members' positions in the full ward list, through menu 100.

#include "e2e/harness.h"
#include "e2e/printout.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string kPositionsMenu = kBanner +
    "101 Read MIS 121 (Ward Position Report)\n110 Create Ward Positions Report\n"
    "120 Create Web Page Info for Ward Positions\n130 Create Single Web Page\n";

/// ASHBY (phone 555-0101), DAVIS (no phone; Sara without record number) and
/// EVANS (unlisted).
std::string directory() {
  Member231 robert{"Robert", false, 'M', "", "07Mar61", 45, "100-0001-0001"};
  Member231 linda{"Linda", false, 'F', "", "12Apr63", 43, "100-0001-0002"};
  Member231 paul{"Paul", false, 'M', "", "20Feb70", 36, "100-0004-0001"};
  Member231 sara{"Sara", false, 'F', "Nonmembr", "", 0, ""};
  Member231 karen{"Karen", false, 'F', "", "14Aug75", 31, "100-0005-0001"};
  return "DIRECTORY OF MEMBERS (MIS 231)\n\n\n\n\n\n" +
         line231("ASHBY", &robert) + line231(" 12 Elm St", &linda) +
         line231(" Maple Creek, UT 84001") + line231(" 555-0101") + "-----\n" +
         line231("DAVIS", &paul) + line231(" 7 Pine Rd", &sara) +
         line231(" Maple Creek, UT 84001") + "-----\n" +
         line231("EVANS", &karen) + line231(" 3 Birch Ln") +
         line231(" Maple Creek, UT 84001") + line231(" unlisted") + "-----\n" +
         "   Total families: 3\n";
}

const std::string kRead231 = "Enter name of report (mis231.txt): Inserted 1 pseudo-record numbers\n";
const std::string kMissingHeading =
    "Can't find organization (ACTIVITIES COMMITTEE) in wardorgs.txt\n";

/// A converter that records each argument it is given on a line of its own.
const std::string kConverter =
    "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done >> converter.log\n";

/// A scratch folder with the directory, the positions report and the
/// organisation table.
void set_up(Scratch& s) {
  s.write("mis231.txt", directory());
  s.write("mis121.txt", data("positions/mis121.txt"));
  s.write("wardorgs.txt", data("positions/wardorgs.txt"));
}

size_t count_files(const fs::path& dir) {
  size_t n = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    (void)e;
    ++n;
  }
  return n;
}

TEST(Positions, ReportToListWebPagesAndFullList) {
  Scratch s;
  set_up(s);
  s.write("conv.sh", kConverter);
  fs::permissions(s.path("conv.sh"), fs::perms::owner_all);
  fs::create_directory(s.path("web"));
  fs::create_directory(s.path("stakein"));
  const std::string conv = s.path("conv.sh");

  Outcome r = s.run({"-i", conv},
                    "201\n\n101\n\n110\n\n120\nweb\n120\nnowhere\n130\n\n130\nnowhere\n210\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kMissingHeading + "Can't open output TOC file (nowhere/webpos.html)\n" +
                       "Can't open output TOC file (nowhere/webpos.html)\n");
  EXPECT_EQ(r.out, kMainMenu + kFooter + kRead231 + kWardMenu + kFooter +
                       "Enter name of report (mis121.txt): " + kPositionsMenu + kFooter +
                       "Enter directory name (wardpos): Executing >>" + conv +
                       " wardpos \"Ward Positions\"<<\n" + kPositionsMenu + kFooter +
                       "Enter name of working directory (webin): " + kPositionsMenu + kFooter +
                       "Enter name of working directory (webin): " + kPositionsMenu + kFooter +
                       "Enter name of working directory (stakein): " + kPositionsMenu + kFooter +
                       "Enter name of working directory (stakein): " + kPositionsMenu + kFooter +
                       "Enter file name (wardfull): Executing >>" + conv +
                       " wardfull \"Ward Full List\"<<\n" + kWardMenu + kFooter + kEnd);

  const std::string date = today();
  EXPECT_EQ(s.read("wardpos.txt"), dated(data("positions/wardpos.txt"), date));
  EXPECT_EQ(s.read("wardfull.txt"), dated(data("positions/wardfull.txt"), date));
  EXPECT_EQ(s.read("converter.log"), "[wardpos]\n[Ward Positions]\n[wardfull]\n[Ward Full List]\n");

  for (const char* name : {"webpos.html", "bish.html", "ACTIVITIES COMMITTEE.html", "rs.html",
                           "pri.html"}) {
    EXPECT_EQ(s.read(std::string("web/") + name), data(std::string("positions/") + name)) << name;
  }
  EXPECT_EQ(count_files(s.path("web")), 5u);
  EXPECT_FALSE(s.exists("nowhere"));
  EXPECT_EQ(s.read("stakein/webpos.html"), data("positions/onepage.html"));
  EXPECT_EQ(count_files(s.path("stakein")), 1u);
}

TEST(Positions, ReportReadBeforeTheDirectoryIsNotMerged) {
  Scratch s;
  set_up(s);
  Outcome r = s.run({}, "101\n\n201\n\n210\n\n110\ncallings\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kMissingHeading);
  const std::string date = today();
  // The full list without any position line.
  std::string full = dated(data("positions/wardfull.txt"), date);
  for (size_t at = full.find("          ("); at != std::string::npos; at = full.find("          (")) {
    full.erase(at, full.find('\n', at) - at + 1);
  }
  EXPECT_EQ(s.read("wardfull.txt"), full);
  EXPECT_EQ(s.read("callings.txt"), dated(data("positions/wardpos.txt"), date));
  EXPECT_FALSE(s.exists("wardpos.txt"));
}

TEST(Positions, MissingReportKeepsTheOrganisationList) {
  Scratch s;
  set_up(s);
  Outcome r = s.run({}, "101\n\n101\nnothere.txt\n110\n\nq\n");
  EXPECT_EQ(r.err, kMissingHeading + "Can't open input file (nothere.txt)\n");
  EXPECT_EQ(s.read("wardpos.txt"), dated(data("positions/wardpos.txt"), today()));
}

TEST(Positions, WithoutOrganisationTableHeadingsNameTheirFiles) {
  Scratch s;
  set_up(s);
  fs::remove(s.path("wardorgs.txt"));
  fs::create_directory(s.path("webin"));
  Outcome r = s.run({}, "101\n\n120\n\n110\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Can't open wardorgs file (wardorgs.txt)\n"
            "Can't find organization (BISHOPRIC) in wardorgs.txt\n"
            "Can't find organization (ACTIVITIES COMMITTEE) in wardorgs.txt\n"
            "Can't find organization (RELIEF SOCIETY) in wardorgs.txt\n"
            "Can't find organization (PRIMARY) in wardorgs.txt\n");
  EXPECT_EQ(s.read("webin/webpos.html"),
            "Ward Position List\n\n>WardPosHdr\n<ul>\n</ul>\n\n>WardPosFtr\n");
  EXPECT_EQ(s.read("webin/RELIEF SOCIETY.html"),
            "RELIEF SOCIETY Positions\n\n>WardPosHdr\n\n>WardPositionGroup|RELIEF SOCIETY Position\n"
            ">WardPositionPerson|President|EVANS, Karen\n>WardPositionUnassigned|Secretary\n"
            "\n>WardPosGroupDone\n\n>WardPosFtr\n");
  EXPECT_EQ(count_files(s.path("webin")), 5u);
  std::string list = s.read("wardpos.txt");
  EXPECT_NE(list.find("\n*BISHOPRIC\nBishop\n"), std::string::npos);
  EXPECT_NE(list.find("\n*3 Empty Positions\nBISHOPRIC\n  Executive Secretary\n"),
            std::string::npos);

  // The message shows at every start.
  Outcome again = s.run({}, "q\n");
  EXPECT_EQ(again.err, "Can't open wardorgs file (wardorgs.txt)\n");
  EXPECT_EQ(again.out, kMainMenu + kFooter + kEnd);
}

TEST(Positions, NothingReadYetGivesEmptyOutputs) {
  Scratch s;
  s.write("wardorgs.txt", data("positions/wardorgs.txt"));
  fs::create_directory(s.path("webin"));
  Outcome r = s.run({}, "110\n\n120\n\nq\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read("wardpos.txt"),
            "**Ward Ward Positions " + today() + "\n\n*0 Empty Positions\n<*>\n");
  EXPECT_EQ(s.read("webin/webpos.html"), data("positions/webpos.html"));
  EXPECT_EQ(count_files(s.path("webin")), 1u);
}

}  // namespace
}  // namespace e2e
