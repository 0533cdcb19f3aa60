// Home and visiting teaching: reading the teaching reports into the ward list
// and writing their lists, through menus 300 and 400.

#include <filesystem>

#include "e2e/harness.h"
#include "e2e/printout.h"

namespace e2e {
namespace {

const std::string kHomeMenu = kBanner +
    "301 Read MIS 1313 (Home Teaching) Report\n"
    "310 Create Home Teaching by Families Report\n"
    "312 Create Home Teaching by Districts Report\n"
    "320 Create Condensed Home Teaching List\n";

const std::string kVisitingMenu = kBanner +
    "401 Read MIS 1413 (Visiting Teaching) Report\n"
    "410 Create Visiting Teaching by Families Report\n"
    "412 Create Visiting Teaching by Districts Report\n"
    "420 Create Condensed Visiting Teaching List\n";

/// A converter that records each argument it is given on a line of its own.
const std::string kConverter =
    "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done >> converter.log\n";

/// The scratch directory with the example ward's printouts.
void write_printouts(const Scratch& s) {
  for (const char* name : {"mis231.txt", "mis1313.txt", "mis1413.txt", "both.txt"}) {
    s.write(name, data(std::string("teach/") + name));
  }
}

/// The families of a save file without their members: each from its ">Fam"
/// line to its "vtpct" line.
std::string family_blocks(const std::string& save) {
  std::string out;
  size_t at = 0;
  while ((at = save.find("\n>Fam\n", at)) != std::string::npos) {
    size_t end = save.find("\nvtpct ", at);
    if (end == std::string::npos) break;
    end = save.find('\n', end + 1);
    out += save.substr(at, end + 1 - at);
    at = end;
  }
  return out;
}

TEST(Teaching, ReadMergeAndWriteEveryList) {
  Scratch s;
  write_printouts(s);
  s.write("conv.sh", kConverter);
  std::filesystem::permissions(s.path("conv.sh"), std::filesystem::perms::owner_all);
  const std::string conv = s.path("conv.sh");
  Outcome r = s.run({"-i", conv},
                    "201\n\n301\n\n310\n\n312\n\n320\n\n314\n\n"
                    "401\n\n410\n\n412\n\n420\n\n9\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, data("teach/messages.txt"));

  auto executing = [&](const std::string& base, const std::string& title) {
    return "Executing >>" + conv + " " + base + " \"Ward " + title + "\"<<\n";
  };
  EXPECT_EQ(r.out,
            kMainMenu + kFooter +
                "Enter name of report (mis231.txt): Inserted 0 pseudo-record numbers\n" +
                kWardMenu + kFooter +
                "Enter name of report (mis1313.txt): " + kHomeMenu + kFooter +
                "Enter file name (wardht): " + executing("wardht", "Family Home Teaching") +
                kHomeMenu + kFooter +
                "Enter file name (htdist): " + executing("htdist", "Home Teaching Districts") +
                kHomeMenu + kFooter +
                "Enter file name (htlist): " +
                executing("htlist", "Condensed Home Teaching List") + kHomeMenu + kFooter +
                "Enter file name (htdpct): " + executing("htdpct", "HT Dist Percentages") +
                kHomeMenu + kFooter +
                "Enter name of report (mis1413.txt): " + kVisitingMenu + kFooter +
                "Enter file name (wardvt): " +
                executing("wardvt", "Visiting Teaching by Sisters") + kVisitingMenu + kFooter +
                "Enter file name (vtdist): " +
                executing("vtdist", "Visiting Teaching Districts") + kVisitingMenu + kFooter +
                "Enter file name (vtlist): " +
                executing("vtlist", "Condensed Visiting Teaching List") + kVisitingMenu +
                kFooter + "Enter file name (wardsave.txt): " + kFooter + kEnd);

  const std::string date = today();
  for (const char* name : {"wardht.txt", "htdist.txt", "htlist.txt", "htdpct.txt", "wardvt.txt",
                           "vtdist.txt", "vtlist.txt"}) {
    EXPECT_EQ(s.read(name), dated(data(std::string("teach/") + name), date)) << name;
  }
  EXPECT_EQ(s.read("converter.log"), data("teach/converter.log"));
  // The merges put the assignments and the teachers' record numbers on the
  // ward list's families.
  EXPECT_EQ(family_blocks(s.read("wardsave.txt")), data("teach/wardsave_families.txt"));
}

TEST(Teaching, FileWithBothReportsTurnsToVisitingTeachingAtItsHeader) {
  Scratch s;
  write_printouts(s);
  // No directory: the lists are written from the reports alone.
  Outcome r = s.run({}, "301\nboth.txt\n320\n\n401\nboth.txt\n420\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kMainMenu + kFooter + "Enter name of report (mis1313.txt): " + kHomeMenu +
                       kFooter + "Enter file name (htlist): " + kHomeMenu + kFooter +
                       "Enter name of report (mis1413.txt): " + kVisitingMenu + kFooter +
                       "Enter file name (vtlist): " + kVisitingMenu + kFooter + kEnd);
  const std::string date = today();
  EXPECT_EQ(s.read("htlist.txt"), dated(data("teach/both_htlist.txt"), date));
  EXPECT_EQ(s.read("vtlist.txt"), dated(data("teach/both_vtlist.txt"), date));
}

TEST(Teaching, ListsBeforeAnyReportAndReportsThatCannotBeOpened) {
  Scratch s;
  write_printouts(s);
  std::filesystem::create_directory(s.dir() / "folder");
  Outcome r = s.run({"-u", "Stake"},
                    "310\n\n412\n\n301\n\n301\nnone.txt\n401\nfolder\n320\nafter\n420\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Can't open input file (none.txt)\nCan't open input file (folder)\n");
  const std::string date = today();
  EXPECT_EQ(s.read("wardht.txt"), "**Stake Family Home Teaching " + date +
                                      "\n\n*Unassigned Families\n"
                                      "\n*Summary\nGrp\tPrev Mon\tThis Mon\n<*>\n");
  EXPECT_EQ(s.read("vtdist.txt"), "**Stake Visiting Teaching Districts " + date + "\n<*>\n");
  // The home-teaching list read before the failed read stays.
  EXPECT_EQ(s.read("after.txt"),
            dated(data("teach/htlist.txt"), date).replace(2, 4, "Stake"));
  EXPECT_EQ(s.read("vtlist.txt"), "**Stake Condensed Visiting Teaching List " + date + "\n<*>\n");
}

}  // namespace
}  // namespace e2e
