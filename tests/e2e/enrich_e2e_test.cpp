// Enriching the ward list with the family listing and the record number list,
// then writing the save file and the further lists.

#include "e2e/harness.h"
#include "e2e/printout.h"

namespace e2e {
namespace {

std::string directory() {
  Member231 robert{"Robert", false, 'M', "", "07Mar61", 45, "100-0001-0001"};
  Member231 linda{"Linda", false, 'F', "", "12Apr63", 43, "100-0001-0002"};
  Member231 tommy{"Tommy", true, 'M', "", "03Jun08", 18, "100-0001-0003"};
  Member231 paul{"Paul", false, 'M', "", "20Feb70", 36, "100-0004-0001"};
  Member231 sara{"Sara", false, 'F', "Nonmembr", "", 0, ""};
  Member231 amy{"Amy", true, 'F', "", "01Jan10", 16, "100-0004-0003"};
  Member231 karen{"Karen", false, 'F', "", "14Aug75", 31, "100-0005-0001"};
  Member231 zoe{"Zoe", true, 'F', "", "09Sep05", 21, "100-0005-0002"};
  Member231 max{"Max", true, 'M', "", "02Feb06", 20, "100-0005-0003"};
  return "DIRECTORY OF MEMBERS (MIS 231)\n\n\n\n\n\n" +
         line231("ASHBY", &robert) + line231(" 12 Elm St", &linda) +
         line231(" Maple Creek, UT  84001-1234", &tommy) + line231(" 555-0101") + "-----\n" +
         line231("BAKER (See ASHBY)") + "-----\n" +
         line231("DAVIS", &paul) + line231(" 7 Pine Rd", &sara) +
         line231(" Maple Creek, UT 84002", &amy) + line231(" 555-0104") + "-----\n" +
         line231("EVANS", &karen) + line231(" 3 Birch Ln", &zoe) +
         line231(" Maple Creek, UT 84001", &max) + line231(" unlisted") + "-----\n" +
         "   Total families: 4\n";
}

/// The family listing: ASHBY and EVANS match; DAVIS's address has one blank
/// more; the cross reference is never looked up.
std::string family_listing() {
  return "  FAMILY LISTING (MIS 232)      Maple Creek Ward\n\n" +
         line232("555-0101", "ASHBY, Robert & Linda", "12 Elm St", "A01") +
         "                       Tommy\n" +
         line232("555-0104", "DAVIS, Paul & Sara", "7  Pine Rd", "B07") +
         "                       Amy\n" +
         line232("unlisted", "EVANS, Karen", "3 Birch Ln", "C12") +
         "                       Zoe, Max\n" +
         "\n   Total households: 3\n";
}

/// The record number list: Paul's line ends after his birth date, Tommy's
/// after his baptism; Robert is listed twice (the first entry counts); one
/// line has no comma; Sara (a pseudo number) is missing.
std::string record_numbers() {
  return "MEMBER RECORD NUMBER LIST (MIS 239)\n\n\n\n\n\n" +
         line239("ASHBY, Robert", "100-0001-0001", "07 Mar 61", "01Apr69", "02Apr69") +
         line239("ASHBY, Linda", "100-0001-0002", "12 Apr 63", "03May71", "03May71") +
         line239("ASHBY, Tommy", "100-0001-0003", "03 Jun 08", "04Jul16") +
         line239("DAVIS, Paul", "100-0004-0001", "20 Feb 70") +
         line239("DAVIS, Amy", "100-0004-0003", "01 Jan 10", "02Feb18", "02Feb18") +
         line239("EVANS Karen", "100-0005-0001", "14 Aug 75", "15Sep83", "15Sep83") +
         line239("EVANS, Karen", "100-0005-0001", "14 Aug 75", "15Sep83", "15Sep83") +
         line239("EVANS, Zoe", "100-0005-0002", "09 Sep 05", "10Oct13", "10Oct13") +
         line239("EVANS, Max", "100-0005-0003", "02 Feb 06", "03Mar14", "03Mar14") +
         line239("ASHBY, Robert", "100-0001-0001", "01 Jan 01", "01Jan09", "01Jan09") +
         std::string(44, ' ') + "For church use only\n";
}

const std::string kZeros =
    "htgroup 0\nhtsup 0\nhtdist 0\nvtgroup 0\nvtsup 0\nvtdist 0\nhtpct 0\nvtpct 0\n";

const std::string kSave =
    "\n>Fam\nlname ASHBY\nfname Robert\naddr 12 Elm St\ncity Maple Creek\nstate UT\nzip 84001\n"
    "zip2 1234\nphone 555-0101\nacode A01\nrecno 100-0001-0001\n" + kZeros +
    ">Mem\nlname ASHBY\nfname Robert\ntype 1\nmsid 0\nsex M\nstat  \nbday 07\nbmonth Mar\n"
    "byear 61\nage 45\nbirth 07 Mar 61\nbaptism 01Apr69\nconfirm 02Apr69\n"
    "recno 100-0001-0001\n>EndMem\n"
    ">Mem\nlname ASHBY\nfname Linda\ntype 2\nmsid 0\nsex F\nstat  \nbday 12\nbmonth Apr\n"
    "byear 63\nage 43\nbirth 12 Apr 63\nbaptism 03May71\nconfirm 03May71\n"
    "recno 100-0001-0002\n>EndMem\n"
    ">Mem\nlname ASHBY\nfname Tommy\ntype 3\nmsid 0\nsex M\nstat  \nbday 03\nbmonth Jun\n"
    "byear 08\nage 18\nbirth 03 Jun 08\nbaptism 04Jul16\nrecno 100-0001-0003\n>EndMem\n"
    ">EndFam\n"
    "\n>Fam\nlname BAKER\nfname \nsname ASHBY\n" + kZeros + ">EndFam\n"
    "\n>Fam\nlname DAVIS\nfname Paul\naddr 7 Pine Rd\ncity Maple Creek\nstate UT\nzip 84002\n"
    "phone 555-0104\nrecno 100-0004-0001\n" + kZeros +
    ">Mem\nlname DAVIS\nfname Paul\ntype 1\nmsid 0\nsex M\nstat  \nbday 20\nbmonth Feb\n"
    "byear 70\nage 36\nbirth 20 Feb 70\nrecno 100-0004-0001\n>EndMem\n"
    ">Mem\nlname DAVIS\nfname Sara\ntype 2\nmsid 0\nsex F\nstat Nonmembr\n"
    "recno 999-9999-0001\n>EndMem\n"
    ">Mem\nlname DAVIS\nfname Amy\ntype 3\nmsid 0\nsex F\nstat  \nbday 01\nbmonth Jan\n"
    "byear 10\nage 16\nbirth 01 Jan 10\nbaptism 02Feb18\nconfirm 02Feb18\n"
    "recno 100-0004-0003\n>EndMem\n"
    ">EndFam\n"
    "\n>Fam\nlname EVANS\nfname Karen\naddr 3 Birch Ln\ncity Maple Creek\nstate UT\nzip 84001\n"
    "phone unlisted\nacode C12\nrecno 100-0005-0001\n" + kZeros +
    ">Mem\nlname EVANS\nfname Karen\ntype 1\nmsid 0\nsex F\nstat  \nbday 14\nbmonth Aug\n"
    "byear 75\nage 31\nbirth 14 Aug 75\nbaptism 15Sep83\nconfirm 15Sep83\n"
    "recno 100-0005-0001\n>EndMem\n"
    ">Mem\nlname EVANS\nfname Zoe\ntype 3\nmsid 0\nsex F\nstat  \nbday 09\nbmonth Sep\n"
    "byear 05\nage 21\nbirth 09 Sep 05\nbaptism 10Oct13\nconfirm 10Oct13\n"
    "recno 100-0005-0002\n>EndMem\n"
    ">Mem\nlname EVANS\nfname Max\ntype 3\nmsid 0\nsex M\nstat  \nbday 02\nbmonth Feb\n"
    "byear 06\nage 20\nbirth 02 Feb 06\nbaptism 03Mar14\nconfirm 03Mar14\n"
    "recno 100-0005-0003\n>EndMem\n"
    ">EndFam\n";

const std::string kAddress =
    "ASHBY, Robert & Linda: 555-0101, 12 Elm St, Maple Creek UT 84001\n"
    "  Robert Mar 07, Linda Apr 12, Tommy Jun 03\n"
    "BAKER\n"
    "DAVIS, Paul & Sara: 555-0104, 7 Pine Rd, Maple Creek UT 84002\n"
    "  Paul Feb 20, Sara  , Amy Jan 01\n"
    "EVANS, Karen: unlisted, 3 Birch Ln, Maple Creek UT 84001\n"
    "  Karen Aug 14, Zoe Sep 09, Max Feb 02\n";

const std::string kPhoneBook =
    "\nASHBY, Robert & Linda\n   Tommy\n  12 Elm St\n  Maple Creek, UT 84001\n 555-0101\n"
    "\nBAKER\n"
    "\nDAVIS, Paul & Sara\n   Amy\n  7 Pine Rd\n  Maple Creek, UT 84002\n 555-0104\n"
    "\nEVANS, Karen\n   Zoe, Max\n  3 Birch Ln\n  Maple Creek, UT 84001\n unlisted\n";

const std::string kZipBody =
    "*84001 Maple Creek, UT\n84001 ASHBY, Robert\n84001 EVANS, Karen\n"
    "*84002 Maple Creek, UT\n84002 DAVIS, Paul\n";

const std::string kNonMemberBody =
    "DAVIS, Paul\n  555-0104\n  7 Pine Rd\n  Maple Creek, UT 84002\n"
    "   Paul 20Feb\n   Sara \n     Amy 01Jan10 [16]\n";

const std::string kSingleParentBody =
    "EVANS, Karen\n  unlisted\n  3 Birch Ln\n  Maple Creek, UT 84001\n"
    "   Karen 14Aug\n     Zoe 09Sep\n     Max 02Feb06 [20]\n";

TEST(Enrich, MergesThenSaveFileAndFurtherLists) {
  Scratch s;
  s.write("mis231.txt", directory());
  s.write("mis232.txt", family_listing());
  s.write("mis239.txt", record_numbers());
  Outcome r = s.run({}, "201\n\n202\n\n209\n\n9\n\n215\n\n227\n\n230\n\n240\n\n22\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kMainMenu + kFooter +
                       "Enter name of report (mis231.txt): Inserted 1 pseudo-record numbers\n" +
                       kWardMenu + kFooter + "Enter name of report (mis232.txt): " +
                       "Can't find entry in MIS232 (DAVIS, Paul)\n" + kWardMenu + kFooter +
                       "Enter name of report (mis239.txt): " + kWardMenu + kFooter +
                       "Enter file name (wardsave.txt): " + kFooter +
                       "Enter file name (wardaddr): " + kWardMenu + kFooter +
                       "Enter base file name (wardpbk): " + kWardMenu + kFooter +
                       "Enter file name (wardzip): " + kWardMenu + kFooter +
                       "Enter file name (wardnonm): " + kWardMenu + kFooter +
                       "Enter file name (wardsap): " + kFooter + kEnd);
  EXPECT_EQ(r.err, "Last name missing comma (" +
                       line239("EVANS Karen", "100-0005-0001", "14 Aug 75", "15Sep83", "15Sep83")
                           .substr(0, 108) +
                       ")\n"
                       "Can't find record in MIS239for 'DAVIS, Sara' in family 'DAVIS, Paul'\n");
  const std::string date = today();
  EXPECT_EQ(s.read("wardsave.txt"), kSave);
  EXPECT_EQ(s.read("wardaddr.txt"), kAddress);
  EXPECT_EQ(s.read("wardpbk.txt"), kPhoneBook);
  EXPECT_EQ(s.read("wardzip.txt"), "**Ward Zipcode List " + date + "\n" + kZipBody + "<*>\n");
  EXPECT_EQ(s.read("wardnonm.txt"),
            "**Ward Non-Member Spouse " + date + "\n" + kNonMemberBody + "<*>\n");
  EXPECT_EQ(s.read("wardsap.txt"), kSingleParentBody + "<*>\n");
}

TEST(Enrich, ReportsBeforeTheDirectoryAreReadButNotMerged) {
  Scratch s;
  s.write("mis232.txt", family_listing());
  s.write("mis239.txt", record_numbers());
  Outcome r = s.run({}, "202\n\n209\n\n9\n\n201\nnone.txt\n202\nnone.txt\n209\nnone.txt\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("Can't find"), std::string::npos);
  EXPECT_EQ(r.err, "Last name missing comma (" +
                       line239("EVANS Karen", "100-0005-0001", "14 Aug 75", "15Sep83", "15Sep83")
                           .substr(0, 108) +
                       ")\nCan't open input file (none.txt)\nCan't Open file (none.txt)\n"
                       "Can't Open file (none.txt)\n");
  EXPECT_EQ(s.read("wardsave.txt"), "");
}

TEST(Enrich, SaveFileThatCannotBeOpenedIsReportedOnStandardOutput) {
  Scratch s;
  Outcome r = s.run({}, "9\nno/such/dir/save.txt\n7\nq\n");
  EXPECT_EQ(r.out, kMainMenu + kFooter + "Enter file name (wardsave.txt): " +
                       "Can't open no/such/dir/save.txt!\n" + kFooter + kFooter + kEnd);
  EXPECT_EQ(r.err, "");
}

TEST(Enrich, SecondDirectoryDropsWhatWasMerged) {
  Scratch s;
  s.write("mis231.txt", directory());
  s.write("mis232.txt", family_listing());
  Outcome r = s.run({}, "201\n\n202\n\n201\n\n9\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(s.read("wardsave.txt").find("acode"), std::string::npos);
}

TEST(Enrich, ReportNamedByAFolderCannotBeOpenedAndKeepsTheWardList) {
  Scratch s;
  s.write("mis231.txt", directory());
  std::filesystem::create_directory(s.dir() / "folder");
  Outcome r = s.run({}, "201\n\n201\nfolder\n202\nfolder\n209\nfolder\n9\n\nq\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Can't open input file (folder)\nCan't Open file (folder)\nCan't Open file (folder)\n");
  EXPECT_NE(s.read("wardsave.txt").find("lname EVANS"), std::string::npos);
}

/// A family line that ends before the code column gives an empty code, which
/// the private list, the listing and the save file show as such.
TEST(Enrich, FamilyLineWithoutCodeGivesAnEmptyCode) {
  Scratch s;
  s.write("mis231.txt", directory());
  std::string listing = family_listing();
  std::string evans = line232("unlisted", "EVANS, Karen", "3 Birch Ln", "C12");
  listing.replace(listing.find(evans), evans.size(), evans.substr(0, 74) + "\n");
  s.write("mis232.txt", listing);
  Outcome r = s.run({}, "201\n\n202\n\n212\n\n9\n\nq\n");
  EXPECT_NE(s.read("wardpriv.txt").find("  Maple Creek, UT 84001 []\n"), std::string::npos);
  EXPECT_NE(s.read("wardsave.txt").find("phone unlisted\nacode \nrecno 100-0005-0001\n"),
            std::string::npos);
}

TEST(Enrich, PagedListingStopsAtLowerCaseQ) {
  Scratch s;
  s.write("mis231.txt", directory());
  const std::string ashby =
      "Name:ASHBY<<, >>Robert<<\nAddr:12 Elm St<<\n"
      "City:Maple Creek<< State:UT<< Zip:84001<<Zip2:1234<<\nPhone:555-0101<<\n"
      "\tl/fname:ASHBY<< >>Robert<< type:1 (Head)\n\tSex:M, stat: << birth: [07Mar][100-0001-0001]\n"
      "\tl/fname:ASHBY<< >>Linda<< type:2 (Spouse)\n\tSex:F, stat: << birth: [12Apr][100-0001-0002]\n"
      "\tl/fname:ASHBY<< >>Tommy<< type:3 (Child)\n\tSex:M, stat: << birth: [03Jun][100-0001-0003]\n";
  const std::string baker = "Name:BAKER<<, >>(null)<<\n";
  const std::string press = "Press ENTER to continue: ";
  const std::string start = kMainMenu + kFooter +
                            "Enter name of report (mis231.txt): Inserted 1 pseudo-record numbers\n" +
                            kWardMenu + kFooter;

  Outcome r = s.run({}, "201\n\n8\nQ\nq\nq\n");
  EXPECT_EQ(r.out, start + ashby + press + baker + press + kFooter + kEnd);

  Outcome eof = s.run({}, "201\n\n8\n");
  EXPECT_EQ(eof.out, start + ashby + press + kEnd);
  EXPECT_EQ(eof.status, 0);
}

}  // namespace
}  // namespace e2e
