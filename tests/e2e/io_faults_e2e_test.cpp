// Files that fail the program: inputs named by a folder or not readable,
// output folders that are missing or read-only, a full device, converters
// that fail or do not exist, names as long as a file name may be. Each gives
// its message, the program goes on, and no earlier file is damaged.

#include <sys/stat.h>

#include "e2e/harness.h"
#include "e2e/printout.h"

namespace e2e {
namespace {

/// A positions report with one organisation and one position.
const std::string kPositions =
    " BISHOPRIC\n" + pad("Bishop", 34) + pad("NYGAARD, Ann", 43) + pad("12 Jan 20", 11) +
    "555-0144\n";

/// A converter that logs its arguments; nobody may run it.
std::string recorder(const Scratch& s) {
  std::string conv = install_recorder(s);
  fs::permissions(conv, fs::perms::all & ~fs::perms::others_write & ~fs::perms::group_write);
  return conv;
}

const char* const kInputs[] = {"mis231.txt", "mis232.txt", "mis239.txt",
                               "mis1313.txt", "mis1413.txt", "mis121.txt"};

TEST(IoFaults, InputsNamedByAFolderCannotBeOpened) {
  Scratch s;
  fs::remove(s.path("wardunits.txt"));
  fs::remove(s.path("wardorgs.txt"));
  for (const char* name : {"f", "wardunits.txt", "wardorgs.txt"}) fs::create_directory(s.path(name));
  Outcome r = s.run({}, "301\nf\n401\nf\n101\nf\n701\nf\n790\nf\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Couldn't open wardunits.txt file\nCan't open wardorgs file (wardorgs.txt)\n"
            "Can't open input file (f)\nCan't open input file (f)\nCan't open input file (f)\n"
            "Can't open input file (f)\nCan't open file (f)\n");
  // Option 790 asks again for a report it can open.
  const std::string tail =
      "Enter input file name (smis.txt): Enter input file name (smis.txt): " + kEnd;
  EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);

  // The batch names each report it cannot open and writes nothing.
  for (const char* name : kInputs) fs::create_directory(s.path(name));
  const auto before = s.files();
  Outcome batch = s.run({"-c"}, "");
  EXPECT_EQ(batch.status, 0);
  EXPECT_EQ(batch.out,
            "Can't open MIS231.TXT\nCan't open MIS1313.TXT\nCan't open MIS1413.TXT for input!\n"
            "Can't open MIS121 file!\n" + kEnd);
  EXPECT_EQ(batch.err, "Couldn't open wardunits.txt file\nCan't open wardorgs file (wardorgs.txt)\n");
  EXPECT_EQ(s.files(), before);
}

TEST(IoFaults, UnreadableInputsCannotBeOpened) {
  if (!Scratch::can_drop_privileges()) GTEST_SKIP() << "root that cannot become nobody reads all";
  Scratch s;
  for (const char* name : {"mis231.txt", "mis1313.txt", "mis121.txt", "smis.txt", "wardunits.txt",
                           "wardorgs.txt"}) {
    s.write(name, "unreadable\n");
    chmod(s.path(name).c_str(), 0);
  }
  Outcome r = s.run_as_nobody({}, "201\n\n301\n\n101\n\n701\n\n790\n\n");
  ASSERT_NE(r.status, 125) << "could not become nobody";
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Couldn't open wardunits.txt file\nCan't open wardorgs file (wardorgs.txt)\n"
            "Can't open input file (mis231.txt)\nCan't open input file (mis1313.txt)\n"
            "Can't open input file (mis121.txt)\nCan't open input file (smis.txt)\n"
            "Can't open file (smis.txt)\n");
  EXPECT_EQ(r.out.substr(r.out.size() - kEnd.size()), kEnd);
}

TEST(IoFaults, MissingOutputFolderEndsTheOptionAndRunsNoConverter) {
  Scratch s;
  s.write("mis231.txt", small_directory());
  s.write("mis121.txt", kPositions);
  const std::string conv = recorder(s);
  const auto before = s.files();
  Outcome r = s.run({"-i", conv},
                    "201\n\n101\n\n210\nno/such/full\n225\nno/such/dir\n290\nno/such/errs.txt\n"
                    "110\nno/such/pos\n120\nno/such\n130\nno/such\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("Executing"), std::string::npos);
  EXPECT_EQ(r.err,
            "Can't find organization (BISHOPRIC) in wardorgs.txt\n"
            "Can't open output file (no/such/full.txt)\nCan't open output file (no/such/dir.txt)\n"
            "Can't open output file (no/such/errs.txt)\nCan't open output file (no/such/pos.txt)\n"
            "Can't open output TOC file (no/such/webpos.html)\n"
            "Can't open output TOC file (no/such/webpos.html)\n");
  EXPECT_EQ(s.files(), before);
}

TEST(IoFaults, ReadOnlyFolderTakesNoNewFileButAWritableOneIsWrittenInPlace) {
  if (!Scratch::can_drop_privileges()) GTEST_SKIP() << "root that cannot become nobody writes all";
  Scratch s;
  s.write("mis231.txt", small_directory());
  s.write("smis.txt", data("stake/smis.txt"));
  s.write("wardunits.txt", data("stake/wardunits.txt"));
  const std::string conv = recorder(s);
  fs::create_directory(s.path("ro"));
  s.write("ro/wardfull.txt", "last week's full list\n");  // nobody may not write it
  s.write("ro/wardph.txt", "last week's phone list\n");
  chmod(s.path("ro/wardph.txt").c_str(), 0666);             // anybody may
  chmod(s.path("ro").c_str(), 0555);

  Outcome r = s.run_as_nobody({"-i", conv},
                              "201\n\n210\nro/wardfull\n220\nro/wardph\n230\nro/wardzip\n"
                              "290\nro/errs.txt\n9\nro/save.txt\n120\nro\n720\nro\n730\nro\n\n"
                              "790\n\nro/smis.csv\n");
  ASSERT_NE(r.status, 125) << "could not become nobody";
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Can't open ro/save.txt!\n"), std::string::npos);
  EXPECT_EQ(r.err,
            "Can't open output file (ro/wardfull.txt)\nCan't open output file (ro/wardzip.txt)\n"
            "Can't open output file (ro/errs.txt)\n"
            "Can't open output TOC file (ro/webpos.html)\n"
            "Can't open output file (ro/mc1Pos.txt)\nCan't open output file (ro/mc2Pos.txt)\n"
            "Can't open output file (ro/rbPos.txt)\nCan't open output file (ro/alpha.txt)\n"
            "Can't open output file (ro/smis.csv)\n");
  // Only the phone list, whose file anybody may write, was written and
  // handed on.
  EXPECT_EQ(s.read("converter.log"), "[ro/wardph]\n[Ward Phone List]\n");
  EXPECT_EQ(s.read("ro/wardph.txt"),
            "**Ward Phone List " + today() + "\n*N\nNYGAARD, Ann\n\t555-0144\n<*>\n");
  EXPECT_EQ(s.read("ro/wardfull.txt"), "last week's full list\n");
  chmod(s.path("ro").c_str(), 0755);
  size_t in_ro = 0;
  for (const auto& e : fs::directory_iterator(s.dir() / "ro")) {
    (void)e;
    ++in_ro;
  }
  EXPECT_EQ(in_ro, 2u);
}

TEST(IoFaults, BatchInAReadOnlyFolderNamesEveryOutputAndFails) {
  if (!Scratch::can_drop_privileges()) GTEST_SKIP() << "root that cannot become nobody writes all";
  Scratch s;
  s.write("mis231.txt", small_directory());
  s.write("mis121.txt", kPositions);
  s.write("wardph.txt", "last week's phone list\n");
  chmod(s.dir().c_str(), 0755);  // nobody may look, not write
  const auto before = s.files();
  Outcome r = s.run_as_nobody({"-c"}, "", false);
  ASSERT_NE(r.status, 125) << "could not become nobody";
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "Inserted 0 pseudo-record numbers\n"
            "Can't open MIS1313.TXT\nCan't open MIS1413.TXT for input!\n"
            "Can't open WARDFAM.CSV\nCan't write to WARDPH.TXT\nCan't write to WARDFULL.TXT\n"
            "Can't write to WARDPRIV.TXT\nCan't write to WARDZIP.TXT\nCan't write to WARDERR.TXT\n" +
                kEnd);
  EXPECT_EQ(r.err,
            "Can't open mis232.txt\nCan't open MIS239.TXT\n"
            "Can't find organization (BISHOPRIC) in wardorgs.txt\n"
            "Can't open CSV file wardpos.csv\n");
  EXPECT_EQ(s.files(), before);
}

TEST(IoFaults, FullDeviceKeepsTheOldFileAndRunsNoConverter) {
  Scratch s;
  s.write("mis231.txt", small_directory());
  s.write("smis.txt", data("stake/smis.txt"));
  s.write("wardunits.txt", data("stake/wardunits.txt"));
  const std::string conv = recorder(s);
  fs::create_symlink("/dev/full", s.path("wardfull.txt"));
  Outcome r = s.run({"-i", conv},
                    "201\n\n210\n\n220\n\n9\n/dev/full\n790\n\n/dev/full\nn\nn\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Error writing wardfull.txt\nError writing /dev/full\n"
            "Can't find unit (MAPLE CREEK 9TH WARD) in wardunits.txt\n"
            "Error writing /dev/full\n");
  // The phone list after the failed full list is written and handed on.
  EXPECT_EQ(s.read("converter.log"), "[wardph]\n[Ward Phone List]\n");
  EXPECT_TRUE(fs::is_symlink(s.path("wardfull.txt")));

  // The batch fails with status 1 but writes and hands on everything else.
  fs::remove(s.path("converter.log"));
  fs::remove(s.path("wardph.txt"));
  fs::create_symlink("/dev/full", s.path("wardph.txt"));
  Outcome batch = s.run({"-c", "-i", conv}, "");
  EXPECT_EQ(batch.status, 1);
  EXPECT_NE(batch.err.find("Error writing wardph.txt\nError writing wardfull.txt\n"),
            std::string::npos);
  EXPECT_EQ(s.read("converter.log"), "[wardpriv]\n[Ward Private List]\n[wardzip]\n[Ward Zipcode List]\n");
  EXPECT_TRUE(s.exists("wardfam.csv"));
  EXPECT_TRUE(s.exists("warderr.txt"));
}

TEST(IoFaults, ConverterThatFailsOrIsMissingLeavesTheDocumentAndGoesOn) {
  Scratch s;
  s.write("mis231.txt", small_directory());
  const std::string phones = "**Ward Phone List " + today() + "\n*N\nNYGAARD, Ann\n\t555-0144\n<*>\n";
  for (const std::string conv : {"/no/such/converter", "false", "exit 3;"}) {
    SCOPED_TRACE(conv);
    Outcome r = s.run({"-i", conv}, "201\n\n220\n\n230\n\nq\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Executing >>" + conv + " wardph \"Ward Phone List\"<<\n"), std::string::npos);
    EXPECT_NE(r.out.find("Executing >>" + conv + " wardzip \"Ward Zipcode List\"<<\n"),
              std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - kEnd.size()), kEnd);
    EXPECT_EQ(s.read("wardph.txt"), phones);

    // The batch's status tells of its files, not of the converter.
    Outcome batch = s.run({"-c", "-i", conv}, "");
    EXPECT_EQ(batch.status, 0);
    EXPECT_EQ(s.read("wardph.txt"), "*Ward Phone List " + today() + "\n*N\nNYGAARD, Ann\n\t555-0144\n<*>\n");
  }
}

TEST(IoFaults, NamesOfUpTo251CharactersAreWrittenAndReplacedLongerOnesEndTheOption) {
  Scratch s;
  s.write("mis231.txt", small_directory());
  std::string console = "201\n\n";
  for (size_t n = 242; n <= 251; ++n) {
    std::string name(n, 'e');
    s.write(name, "old\n");
    console += "290\n" + name + "\n";
    // A base name whose file name, with ".txt", is as long.
    s.write(std::string(n - 4, 'p') + ".txt", "old\n");
    console += "220\n" + std::string(n - 4, 'p') + "\n";
  }
  // One character more than a file name may have: the option ends with its
  // message.
  console += "290\n" + std::string(256, 'e') + "\n220\n" + std::string(252, 'p') + "\n";
  Outcome r = s.run({}, console + "q\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Can't open output file (" + std::string(256, 'e') +
                       ")\nCan't open output file (" + std::string(252, 'p') + ".txt)\n");
  for (size_t n = 242; n <= 251; ++n) {
    EXPECT_EQ(s.read(std::string(n, 'e')), "");  // no notes: an empty error report
    EXPECT_EQ(s.read(std::string(n - 4, 'p') + ".txt"),
              "**Ward Phone List " + today() + "\n*N\nNYGAARD, Ann\n\t555-0144\n<*>\n");
  }
  EXPECT_EQ(s.files().size(), 3u + 20u);  // the inputs, and one file per name
}

TEST(IoFaults, StandardOutputAsAnOutputIsWrittenInItsPlace) {
  Scratch s;
  s.write("mis231.txt", small_directory());
  Outcome r = s.run({}, "201\n\n9\n/dev/stdout\n290\n/dev/stdout\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  // The save file comes between its prompt and the footer, in order.
  const std::string prompt = "Enter file name (wardsave.txt): ";
  size_t at = r.out.find(prompt);
  ASSERT_NE(at, std::string::npos);
  const std::string head = "\n>Fam\nlname NYGAARD\nfname Ann\n";
  EXPECT_EQ(r.out.substr(at + prompt.size(), head.size()), head);
  size_t end = r.out.find(">EndFam\n", at);
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(r.out.substr(end, 8 + 19), ">EndFam\n" + kFooter.substr(0, 19));
  // An empty error report prints nothing between its prompt and the footer.
  EXPECT_NE(r.out.find("Enter file name (warderr.txt): " + kWardMenu), std::string::npos);
}

}  // namespace
}  // namespace e2e
