// The batch production (-c and option 800) and the stake report processing
// of option 790: every file written compared with expected files.

#include <cstdlib>
#include <filesystem>

#include "e2e/harness.h"
#include "e2e/printout.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

/// Every input of the batch ward: six printouts and both configuration files.
void write_batch_ward(const Scratch& s) {
  for (const char* name : {"mis231.txt", "mis232.txt", "mis239.txt", "mis121.txt", "wardorgs.txt",
                           "wardunits.txt"}) {
    s.write(name, data(std::string("batch/") + name));
  }
  s.write("mis1313.txt", data("teach/mis1313.txt"));
  s.write("mis1413.txt", data("teach/mis1413.txt"));
}

std::string replace_all(std::string text, const std::string& mark, const std::string& by) {
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size())) {
    text.replace(at, mark.size(), by);
  }
  return text;
}

TEST(Batch, EveryOutputOfTheWholeWard) {
  Scratch s;
  write_batch_ward(s);
  const std::string conv = install_recorder(s);
  Outcome r = s.run({"-c", "-i", conv}, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, replace_all(data("batch/stdout.txt"), "@CONV@", conv));
  EXPECT_EQ(r.err, data("batch/stderr.txt"));
  EXPECT_EQ(s.read("converter.log"), data("batch/converter.log"));

  const std::string date = today();
  for (const char* name : {"wardfam.csv", "wardmem.csv", "wardhtvt.csv", "wardpos.csv",
                           "wardph.txt", "wardfull.txt", "wardpriv.txt", "wardzip.txt",
                           "warderr.txt", "wardpos.txt"}) {
    EXPECT_EQ(s.read(name), dated(data(std::string("batch/") + name), date)) << name;
  }
  // The teaching documents are those of the teaching menus.
  for (const char* name : {"wardht.txt", "htdist.txt", "htlist.txt", "wardvt.txt", "vtdist.txt",
                           "vtlist.txt"}) {
    EXPECT_EQ(s.read(name), dated(data(std::string("teach/") + name), date)) << name;
  }
}

TEST(Batch, OptionEightHundredFromTheMenuIsTheSameRun) {
  Scratch s;
  write_batch_ward(s);
  Outcome r = s.run({}, "800\n");
  EXPECT_EQ(r.status, 0);
  std::string expected = data("batch/stdout.txt");
  size_t first_conv = expected.find("Executing");
  EXPECT_EQ(r.out, kMainMenu + kFooter + expected.substr(0, first_conv) + kEnd);
  EXPECT_EQ(s.read("wardfam.csv"), data("batch/wardfam.csv"));
}

TEST(Batch, OnlyTheVisitingTeachingReport) {
  Scratch s;
  s.write("mis1413.txt", data("teach/mis1413.txt"));
  Outcome r = s.run({"-c"}, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Can't open MIS231.TXT\nCan't open MIS1313.TXT\nCan't open MIS121 file!\n" +
                       kEnd);
  EXPECT_EQ(r.err, "");
  // Unmerged: no record numbers, no teachers' identifiers, and no header row.
  EXPECT_EQ(s.read("wardhtvt.csv"),
            ",ALDEN,Ruth,RS,1,1,VVVVVVVVVVTV,\"DIAZ, Gina\",\"COLE, Edna\",,,100\n"
            ",BISHOP,Dora,RS,1,1,xxxxxxxxxxVx,\"DIAZ, Gina\",,,,8\n"
            ",COLE,Edna,RS,1,2,--------LLxx,\"ALDEN, Ruth\",,,,50\n"
            ",EATON,Ivy,NV,0,0,xxxxxxxxxxxx,,,,,0\n"
            ",GRANT,Joy,RS,1,2,LLLLLLLLLLLL,\"COLE, Edna\",,,,100\n"
            ",DIAZ,Gina,RS,1,1,VVVVVVVVVVxV,\"ALDEN, Ruth\",,,,91\n");
  const std::string date = today();
  for (const char* name : {"wardvt.txt", "vtdist.txt", "vtlist.txt"}) {
    EXPECT_EQ(s.read(name), dated(data(std::string("teach/") + name), date)) << name;
  }
  for (const char* name : {"wardht.txt", "wardph.txt", "wardfam.csv", "wardpos.csv"}) {
    EXPECT_FALSE(s.exists(name)) << name;
  }
}

TEST(Batch, OutputThatCannotBeWrittenGivesStatusOneAndKeepsTheOldFile) {
  Scratch s;
  write_batch_ward(s);
  s.write("wardpriv.txt", "the list of last month\n");
  fs::create_directory(s.dir() / "wardzip.txt");
  // Files may not grow beyond 1500 bytes: the private list cannot be written.
  Outcome r = s.run({"-c"}, "", 1500);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Can't write to WARDZIP.TXT\n"), std::string::npos);
  EXPECT_NE(r.err.find("Error writing wardpriv.txt\n"), std::string::npos);
  EXPECT_EQ(s.read("wardpriv.txt"), "the list of last month\n");
  // Everything else is still written.
  EXPECT_EQ(s.read("wardfull.txt"), dated(data("batch/wardfull.txt"), today()));
  EXPECT_EQ(s.read("wardhtvt.csv"), data("batch/wardhtvt.csv"));
  EXPECT_EQ(r.out.substr(r.out.size() - kEnd.size()), kEnd);
}

/// Checks that every CSV file loads in Python's csv module with the header's
/// column count on every row, and that the awkward texts come back intact.
const char* const kCsvCheck = R"(import csv, sys
def rows(name):
    with open(name, newline='', encoding='latin-1') as f:
        data = list(csv.reader(f))
    for i, row in enumerate(data):
        if len(row) != len(data[0]):
            sys.exit('%s row %d has %d fields, not %d' % (name, i, len(row), len(data[0])))
    return [dict(zip(data[0], row)) for row in data[1:]]
fam = rows('wardfam.csv')
mem = rows('wardmem.csv')
htvt = rows('wardhtvt.csv')
pos = rows('wardpos.csv')
want = [(fam[0]['LName'], "O'NEIL"), (fam[0]['FName'], 'Mary "Mae"'),
        (fam[0]['Addr'], '12 Elm St, Apt 3'), (fam[0]['City'], 'Salt Lake City'),
        (fam[0]['FamKids'], 'Jo, Jr [9]'), (mem[0]['FName'], 'Mary "Mae"'),
        (mem[1]['FName'], 'Jo, Jr'), (mem[1]['Sex'], ' '), (htvt[0]['FName'], 'Mary "Mae"'),
        (htvt[0]['TName'], 'SMITH, "Big" Al'), (pos[0]['Position'], 'Scout "Leader", 1st'),
        (pos[0]['Person'], 'SMITH, "Big" Al'), (len(fam), 2), (len(mem), 3), (len(htvt), 1)]
for got, expected in want:
    if got != expected:
        sys.exit('%r is not %r' % (got, expected))
)";

TEST(Batch, CsvFilesLoadInPythonWithTheirTextsIntact) {
  if (std::system("python3 -c 'import csv' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  Scratch s;
  Member231 mary{"Mary \"Mae\"", false, 'F', "", "01Jan80", 46, "200-0001-0001"};
  Member231 jo{"Jo, Jr", true, ' ', "", "02Feb17", 9, "200-0001-0002"};
  Member231 al{"\"Big\" Al", false, 'M', "", "03Mar70", 56, "200-0002-0001"};
  s.write("mis231.txt", line231("O'NEIL", &mary) + line231(" 12 Elm St, Apt 3", &jo) +
                            line231(" Salt Lake City, UT  84101") + line231(" 555-0101") +
                            "-----\n" + line231("SMITH", &al) + line231(" 1 Oak Ave") +
                            line231(" Salt Lake City, UT  84101") + line231(" 555-0102") +
                            "-----\n");
  s.write("mis1313.txt", pad("O'NEIL, Mary \"Mae\"", 31) + "E   1  2  " +
                             pad("SMITH, \"Big\" Al", 31) + pad("555-0102", 21) +
                             "MJJASONDJFMA\n" + pad("   555-0101", 93) + "VVVVVVVVVVVV\n");
  s.write("mis121.txt", " SCOUTS\n" + pad("Scout \"Leader\", 1st", 34) +
                            pad("SMITH, \"Big\" Al", 43) + pad("01 Jan 25", 11) + "555-0102\n");
  s.write("check.py", kCsvCheck);
  Outcome r = s.run({"-c"}, "");
  ASSERT_EQ(r.status, 0);
  std::string cmd = "cd '" + s.dir().string() + "' && python3 check.py";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
}

const std::string kStakeMenu = kBanner +
    "701 Read SMIS (Stake MIS) report\n720 Write SMIS text file(s)\n"
    "730 Write SMIS alpha list\n790 Read & Process SMIS report\n";

TEST(StakeProcessing, SpreadsheetWebInputAndDocument) {
  Scratch s;
  s.write("wardunits.txt", data("stake/wardunits.txt"));
  s.write("smis.txt", data("stake/smis.txt"));
  fs::create_directory(s.dir() / "stakein");
  Outcome r = s.run({}, "790\n\n\ny\n\ny\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kMainMenu + kFooter + "Enter input file name (smis.txt): " +
                       "Enter output file name (smis.csv): Create web page? (y or n): " +
                       "Enter output directory (stakein): " +
                       "Create Palm Text File? (y or n): Enter doc name (smisdoc.txt): " +
                       kFooter + kEnd);
  EXPECT_EQ(r.err, "Can't find unit (MAPLE CREEK 9TH WARD) in wardunits.txt\n");
  EXPECT_EQ(s.read("smis.csv"), data("stake790/smis.csv"));
  EXPECT_EQ(s.read("smisdoc.txt"), data("stake790/smisdoc.txt"));
  EXPECT_EQ(s.read("stakein/stakepos.html"), data("stake790/stakepos.html"));
}

TEST(StakeProcessing, DeclinedAndMissingFilesStartOver) {
  Scratch s;
  s.write("wardunits.txt", data("stake/wardunits.txt"));
  s.write("smis.txt", data("stake/smis.txt"));
  // A missing report, then an output that cannot be opened, each start the
  // option over; then both questions are declined with a lower-case n.
  Outcome r = s.run({}, "790\nnone.txt\n\nno/such/dir/out.csv\n\n\nn\nnope\n700\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Can't open file (none.txt)\nCan't open output file (no/such/dir/out.csv)\n"
                   "Can't find unit (MAPLE CREEK 9TH WARD) in wardunits.txt\n");
  EXPECT_EQ(r.out, kMainMenu + kFooter + "Enter input file name (smis.txt): " +
                       "Enter input file name (smis.txt): Enter output file name (smis.csv): " +
                       "Enter input file name (smis.txt): Enter output file name (smis.csv): " +
                       "Create web page? (y or n): Create Palm Text File? (y or n): " + kFooter +
                       kStakeMenu + kFooter + kEnd);
  EXPECT_EQ(s.read("smis.csv"), data("stake790/smis.csv"));
  EXPECT_FALSE(s.exists("smisdoc.txt"));
  EXPECT_FALSE(s.exists("stakein"));

  // "q" as the document name means no document; end of input at a question
  // ends the program.
  Outcome q = s.run({}, "790\n\n\nN\n\nY\nquit\n");
  EXPECT_EQ(q.status, 0);
  EXPECT_FALSE(s.exists("quit"));
  EXPECT_EQ(q.out.substr(q.out.size() - kEnd.size()), kEnd);
}

}  // namespace
}  // namespace e2e
