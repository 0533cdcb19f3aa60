// Reading a ward folder: the directory alone, or with the record number
// list merged; the positions report with and without the organisation
// table; the readers' console lines kept off both streams; the complaints
// about a folder that cannot serve.

#include "tools/wardread.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "readers/wardorgs.h"

namespace {

namespace fs = std::filesystem;

// A head with a birth date, a spouse printed without one.
const std::string kDirectory =
    "DIRECTORY OF MEMBERS (MIS 231)\nWard\nStake\n\nName\n\n"
    "KIMBALL                                  Nathan                M          27Jun79     44"
    "       047-9902-3318\n"
    " 615 Larkspur Avenue                     Emily                 F                        "
    "       047-9902-3326\n"
    " Alder Springs, UT  84990\n"
    " 555-0164\n"
    "----------------------------------------------\n";

// The spouse's birth date, and a line without a comma (which the reader
// complains about on the error stream).
const std::string kRecordNumbers =
    "KIMBALL, Emily..................................................  047-9902-3326  18 Oct 80"
    "  02Nov88  02Nov88\n"
    "NOCOMMA Fred....................................................  047-9902-3399  01 Jan 80"
    "  02Nov88  02Nov88\n";

// A page header (dropped with the 5 lines after it), a heading and a
// position held by Nathan (phone at column 88), and a vacant one.
const std::string kPositions =
    "WARD ORGANIZATION POSITIONS LIST (MIS 121)\nWard\nStake\n\nPosition\n\n"
    " ELDERS QUORUM\n"
    "Elders Quorum President           KIMBALL, Nathan                            05 May 22"
    "  555-0164\n"
    "Elders Quorum Secretary\n";

class WardFolder : public testing::Test {
 protected:
  WardFolder() {
    char tmpl[] = "/tmp/kinroll-ward-XXXXXX";
    dir_ = mkdtemp(tmpl);
  }
  ~WardFolder() override { fs::remove_all(dir_); }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }

  /// Reads the folder; what the reading printed on either stream goes to
  /// `*printed`.
  bool read(WardFamily** list, std::string* printed) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    bool ok = read_ward_folder(dir_.string(), arena_, list);
    *printed = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    return ok;
  }

  fs::path dir_;
  Arena arena_;
};

TEST_F(WardFolder, DirectoryAloneThenWithTheRecordNumbersMerged) {
  write("mis231.txt", kDirectory);
  WardFamily* list = nullptr;
  std::string printed;
  ASSERT_TRUE(read(&list, &printed));
  EXPECT_EQ(printed, "");  // no pseudo-number count, no complaint
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list->members->next, nullptr);
  EXPECT_FALSE(list->members->next->birth);

  write("mis239.txt", kRecordNumbers);
  write("mis232.txt", "");  // an empty listing: every family unmatched, quietly
  ASSERT_TRUE(read(&list, &printed));
  EXPECT_EQ(printed, "");
  EXPECT_EQ(list->members->next->birth, "18 Oct 80");
  EXPECT_EQ(list->members->birth, std::nullopt);  // Nathan is not in the list
}

TEST_F(WardFolder, FoldersThatCannotServe) {
  std::string base = dir_.string();
  WardFamily* list = reinterpret_cast<WardFamily*>(&list);
  std::string printed;
  EXPECT_FALSE(read(&list, &printed));
  EXPECT_EQ(printed, "kinroll: cannot read " + base + "/mis231.txt: No such file or directory\n");
  EXPECT_EQ(list, nullptr);

  // A page header (and the 5 lines it skips) and the total: no family.
  write("mis231.txt", "DIRECTORY OF MEMBERS (MIS 231)\nWard\nStake\n\nName\n\n     Total 0\n");
  EXPECT_FALSE(read(&list, &printed));
  EXPECT_EQ(printed, "kinroll: " + base + "/mis231.txt: not a directory of members printout\n");

  write("mis231.txt", kDirectory);
  fs::create_directory(dir_ / "mis239.txt");
  EXPECT_FALSE(read(&list, &printed));
  EXPECT_EQ(printed, "kinroll: cannot read " + base + "/mis239.txt: it is a folder\n");
  EXPECT_EQ(list, nullptr);
}

TEST_F(WardFolder, PositionsWithTheHeadingsOwnNamesThenTheTables) {
  write("mis231.txt", kDirectory);
  write("wardorgs.txt", "ELDERS QUORUM|Elders Quorum|eq\n");  // no report: not read
  wardorgs_clear();
  WardFamily* list = nullptr;
  std::string printed;
  ASSERT_TRUE(read(&list, &printed));
  WardOrg* orgs = reinterpret_cast<WardOrg*>(&orgs);
  EXPECT_TRUE(read_ward_positions(dir_.string(), arena_, list, &orgs));
  EXPECT_EQ(orgs, nullptr);
  EXPECT_EQ(wardorgs_count(), 0);

  fs::remove(dir_ / "wardorgs.txt");
  write("mis121.txt", kPositions);
  testing::internal::CaptureStderr();  // "Can't find organization", silenced
  ASSERT_TRUE(read_ward_positions(dir_.string(), arena_, list, &orgs));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_NE(orgs, nullptr);
  EXPECT_EQ(orgs->org, "ELDERS QUORUM");
  ASSERT_NE(orgs->pos, nullptr);
  ASSERT_NE(orgs->pos->next, nullptr);
  EXPECT_FALSE(orgs->pos->next->per);
  ASSERT_NE(list->members->pos, nullptr);  // attached to Nathan
  EXPECT_EQ(list->members->pos->pos, "Elders Quorum President");
  EXPECT_EQ(list->members->next->pos, nullptr);

  write("wardorgs.txt", "ELDERS QUORUM|Elders Quorum|eq\n");
  ASSERT_TRUE(read(&list, &printed));
  ASSERT_TRUE(read_ward_positions(dir_.string(), arena_, list, &orgs));
  EXPECT_EQ(orgs->org, "Elders Quorum");
  EXPECT_EQ(orgs->abbr, "eq");
  wardorgs_clear();

  fs::remove(dir_ / "wardorgs.txt");
  fs::create_directory(dir_ / "wardorgs.txt");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(read_ward_positions(dir_.string(), arena_, list, &orgs));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kinroll: cannot read " + dir_.string() + "/wardorgs.txt: it is a folder\n");
  EXPECT_EQ(orgs, nullptr);
}

}  // namespace
