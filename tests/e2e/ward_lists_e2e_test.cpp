// From a directory printout to the handheld lists, through the ward list menu.

#include "e2e/harness.h"
#include "e2e/printout.h"

namespace e2e {
namespace {

/// A two-page directory: a plain family, a cross reference, a family whose
/// bracketed head gives way to the spouse and which has no phone line, a
/// family continued across the page break (with faults for the error report),
/// a single parent, and the Total line.
std::string directory() {
  const std::string header = "DIRECTORY OF MEMBERS (MIS 231)               Maple Creek Ward\n"
                             "Run date 12/01/26\n\n"
                             "Name / Address / Phone                   Members\n"
                             "----------------------------------------------------------\n\n";
  Member231 robert{"Robert", false, 'M', "", "07Mar61", 45, "100-0001-0001"};
  Member231 linda{"Linda", false, 'F', "", "12Apr63", 43, "100-0001-0002"};
  Member231 tommy{"Tommy", true, 'M', "", "03Jun08", 18, "100-0001-0003"};
  Member231 bud{"[Bud]", false, 'M', "", "11Nov50", 56, "100-0003-0001"};
  Member231 jane{"Jane", false, 'F', "", "22Dec52", 54, "100-0003-0002"};
  Member231 paul{"Paul", false, 'M', "", "20Feb70", 36, "100-0004-0001"};
  Member231 sara{"Sara", false, 'F', "Nonmembr", "", 0, ""};
  Member231 amy{"Amy", true, 'F', "", "01Jan10", 16, "100-0004-0003"};
  Member231 ben{"Ben", true, 'X', "", "05May12", 14, ""};
  Member231 karen{"Karen", false, 'F', "", "14Aug75", 31, "100-0005-0001"};
  Member231 zoe{"Zoe", true, 'F', "", "09Sep05", 21, "100-0005-0002"};
  Member231 max{"Max", true, 'M', "", "02Feb06", 20, "100-0005-0003"};
  return header +
         line231("ASHBY", &robert) + line231(" 12 Elm St", &linda) +
         line231(" Maple Creek, UT  84001-1234", &tommy) + line231(" 555-0101") + "-----\n" +
         line231("BAKER (See ASHBY)") + "-----\n" +
         line231("CARTER", &bud) + line231(" 40 Oak Ave", &jane) +
         line231(" Maple Creek, UT 84001") + "-----\n" +
         line231("DAVIS", &paul) + line231(" 7 Pine Rd", &sara) +
         std::string(44, ' ') + "For church use only              Page 1\n" +
         "\f" + header +
         line231("DAVIS (Cont.)", &amy) + line231(" Apt 3", &ben) +
         line231(" Maple Creek UT 84001") + line231(" 555-012") + "-----\n" +
         line231("EVANS", &karen) + line231(" 3 Birch Ln", &zoe) +
         line231(" Maple Creek, UT 84001", &max) + line231(" unlisted") + "-----\n" +
         "   Total families: 5\n" +
         line231("LATER", &robert);  // past the end of data: never read
}

const std::string kRead =
    "Enter name of report (mis231.txt): "
    "Changing head of CARTER family from [Bud] to Jane\n"
    "Inserted 2 pseudo-record numbers\n";

const std::string kPhoneBody =
    "*A\nASHBY, Robert & Linda\n\t555-0101\n"
    "*B\nBAKER\n"
    "*C\nCARTER, Jane\n"
    "*D\nDAVIS, Paul & Sara\n\t555-012\n"
    "*E\nEVANS, Karen\n\tunlisted\n";

const std::string kFullBody =
    "*A\n"
    "ASHBY, Robert\n  555-0101\n  12 Elm St\n  Maple Creek, UT 84001-1234\n"
    "   Robert 07Mar\n   Linda 12Apr\n     Tommy 03Jun08 [18]\n"
    "*B\n"
    "BAKER [See ASHBY], \n"
    "*C\n"
    "CARTER, Jane\n  40 Oak Ave\n  Maple Creek, UT 84001\n"
    "   [Bud] 11Nov\n   Jane 22Dec\n"
    "*D\n"
    "DAVIS, Paul\n  555-012\n  7 Pine Rd\n  Maple Creek, UT 84001\n"
    "   Paul 20Feb\n   Sara \n     Amy 01Jan10 [16]\n     Ben 05May12 [14]\n"
    "*E\n"
    "EVANS, Karen\n  unlisted\n  3 Birch Ln\n  Maple Creek, UT 84001\n"
    "   Karen 14Aug\n     Zoe 09Sep\n     Max 02Feb06 [20]\n";

const std::string kPrivateBody =
    "*A\n"
    "ASHBY, Robert\n  555-0101\n  12 Elm St\n  Maple Creek, UT 84001-1234\n"
    "...Robert [M  ]\n        07Mar61 [45] #100-0001-0001\n"
    "...Linda [F  ]\n        12Apr63 [43] #100-0001-0002\n"
    ".....Tommy [M  ]\n        03Jun08 [18] #100-0001-0003\n"
    "*B\n"
    "BAKER [See ASHBY], \n"
    "*C\n"
    "CARTER, Jane\n  40 Oak Ave\n  Maple Creek, UT 84001\n"
    "...[Bud] [M  ]\n        11Nov50 [56] #100-0003-0001\n"
    "...Jane [F  ]\n        22Dec52 [54] #100-0003-0002\n"
    "*D\n"
    "DAVIS, Paul\n  555-012\n  7 Pine Rd\n  Maple Creek, UT 84001\n"
    "...Paul [M  ]\n        20Feb70 [36] #100-0004-0001\n"
    "...Sara [F Nonmembr]\n         #999-9999-0001\n"
    ".....Amy [F  ]\n        01Jan10 [16] #100-0004-0003\n"
    ".....Ben [X  ]\n        05May12 [14] #999-9999-0002\n"
    "*E\n"
    "EVANS, Karen\n  unlisted\n  3 Birch Ln\n  Maple Creek, UT 84001\n"
    "...Karen [F  ]\n        14Aug75 [31] #100-0005-0001\n"
    ".....Zoe [F  ]\n        09Sep05 [21] #100-0005-0002\n"
    ".....Max [M  ]\n        02Feb06 [20] #100-0005-0003\n";

const std::string kDirectoryBody =
    "ASHBY, Robert & Linda\t555-0101\n"
    "DAVIS, Paul & Sara\t555-012\n"
    "EVANS, Karen\tunlisted\n";

const std::string kErrors =
    "Family DAVIS, Paul: Missing comma after city\n"
    "Family DAVIS, Paul: Bad Phone Number format\n"
    "Member DAVIS, Ben: Invalid sex\n";

TEST(WardLists, DirectoryToEveryList) {
  Scratch s;
  s.write("mis231.txt", directory());
  Outcome r = s.run({}, "201\n\n210\n\n212\n\n220\n\n225\n\n290\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, kMainMenu + kFooter + kRead + kWardMenu + kFooter +
                       "Enter file name (wardfull): " + kWardMenu + kFooter +
                       "Enter file name (wardpriv): " + kWardMenu + kFooter +
                       "Enter base file name (wardph): " + kWardMenu + kFooter +
                       "Enter base file name (warddir): " + kWardMenu + kFooter +
                       "Enter file name (warderr.txt): " + kWardMenu + kFooter + kEnd);
  const std::string date = today();
  EXPECT_EQ(s.read("wardfull.txt"), "**Ward Full List " + date + "\n" + kFullBody + "<*>\n");
  EXPECT_EQ(s.read("wardpriv.txt"), "**Ward Private List " + date + "\n" + kPrivateBody + "<*>\n");
  EXPECT_EQ(s.read("wardph.txt"), "**Ward Phone List " + date + "\n" + kPhoneBody + "<*>\n");
  EXPECT_EQ(s.read("warddir.txt"), kDirectoryBody);
  EXPECT_EQ(s.read("warderr.txt"), kErrors);
}

TEST(WardLists, ListsBeforeAnyDirectoryHaveOnlyTheirFrame) {
  Scratch s;
  Outcome r = s.run({"-u", "Stake"}, "220\nphones\n290\nerrs.log\n225\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(s.read("phones.txt"), "**Stake Phone List " + today() + "\n<*>\n");
  EXPECT_TRUE(s.exists("errs.log"));
  EXPECT_EQ(s.read("errs.log"), "");
  EXPECT_FALSE(s.exists("errs.log.txt"));
  EXPECT_EQ(s.read("warddir.txt"), "");
}

TEST(WardLists, SecondDirectoryReplacesTheFirst) {
  Scratch s;
  s.write("mis231.txt", directory());
  s.write("other.txt", line231("ZIMMER", nullptr) + line231(" 1 Last St") +
                           line231(" Maple Creek, UT 84001") + "-----\n");
  Outcome r = s.run({}, "201\n\n201\nother.txt\n220\n\nq\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read("wardph.txt"), "**Ward Phone List " + today() + "\n*Z\nZIMMER\n<*>\n");
}

/// A converter that records each argument it is given on a line of its own.
const std::string kConverter =
    "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done >> converter.log\n";

TEST(WardLists, ConverterGetsBaseNameAndTitleAsSingleArguments) {
  Scratch s;
  s.write("mis231.txt", directory());
  s.write("conv.sh", kConverter);
  std::filesystem::permissions(s.path("conv.sh"), std::filesystem::perms::owner_all);
  const std::string conv = s.path("conv.sh");
  Outcome r = s.run({"-i", conv}, "201\n\n220\n\n212\nmy \"list\" $(touch pwned)\n225\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Executing >>" + conv + " wardph \"Ward Phone List\"<<\n"), std::string::npos);
  EXPECT_NE(r.out.find("Executing >>" + conv +
                       " 'my \"list\" $(touch pwned)' \"Ward Private List\"<<\n"),
            std::string::npos);
  // The phone directory is a plain file: no converter.
  EXPECT_EQ(s.read("converter.log"),
            "[wardph]\n[Ward Phone List]\n[my \"list\" $(touch pwned)]\n[Ward Private List]\n");
  EXPECT_FALSE(s.exists("pwned"));
  EXPECT_EQ(s.read("my \"list\" $(touch pwned).txt"),
            "**Ward Private List " + today() + "\n" + kPrivateBody + "<*>\n");
}

TEST(WardLists, LongBaseNameIsReadWhole) {
  // 518 characters naming phones.txt: cut at 511 it would name "..txt".
  std::string base;
  for (int i = 0; i < 256; ++i) base += "./";
  base += "phones";
  Scratch s;
  s.write("mis231.txt", directory());
  s.write("conv.sh", kConverter);
  std::filesystem::permissions(s.path("conv.sh"), std::filesystem::perms::owner_all);
  Outcome r = s.run({"-i", s.path("conv.sh")}, "201\n\n220\n" + base + "\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(s.read("phones.txt"), "**Ward Phone List " + today() + "\n" + kPhoneBody + "<*>\n");
  EXPECT_EQ(s.read("converter.log"), "[" + base + "]\n[Ward Phone List]\n");
  std::vector<std::string> names;
  for (const auto& [name, bytes] : s.files()) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"conv.sh", "converter.log", "mis231.txt",
                                             "phones.txt", "wardorgs.txt", "wardunits.txt"}));
}

TEST(WardLists, EmptyConverterRunsNothing) {
  Scratch s;
  s.write("mark.sh", "#!/bin/sh\ntouch ran\n");
  std::filesystem::permissions(s.path("mark.sh"), std::filesystem::perms::owner_all);
  Outcome r = s.run({"-i", ""}, "220\n./mark.sh\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("Executing"), std::string::npos);
  EXPECT_FALSE(s.exists("ran"));
  EXPECT_EQ(s.read("mark.sh.txt"), "**Ward Phone List " + today() + "\n<*>\n");
}

TEST(WardLists, FailedWriteKeepsOldFileAndRunsNoConverter) {
  Scratch s;
  s.write("mis231.txt", directory());
  s.write("conv.sh", kConverter);
  std::filesystem::permissions(s.path("conv.sh"), std::filesystem::perms::owner_all);
  s.write("wardfull.txt", "the list of last week\n");
  Outcome r = s.run({"-i", s.path("conv.sh")}, "201\n\n210\n\nq\n", 256);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Error writing wardfull.txt\n");
  EXPECT_EQ(r.out.find("Executing"), std::string::npos);
  EXPECT_FALSE(s.exists("converter.log"));
  EXPECT_EQ(s.read("wardfull.txt"), "the list of last week\n");
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(s.dir())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 6u);  // the inputs, the console, wardfull.txt: no temporary left
}

}  // namespace
}  // namespace e2e
