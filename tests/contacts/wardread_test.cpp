// Reading a ward folder for the contact files: the directory alone, or with
// the record number list merged; the readers' console lines kept off both
// streams; the complaints about a folder that cannot serve.

#include "contacts/wardread.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

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
    bool ok = read_contacts_ward(dir_.string(), arena_, list);
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

}  // namespace
