// What the results page makes of a job: the messages grouped by kind, the
// summary of every group of lists, the files by use, a page of a file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tools/outputs.h"
#include "web/messages.h"
#include "web/summary.h"

namespace {

TEST(WebMessages, GroupedByKindAcrossPrograms) {
  auto groups = group_messages(
      "Changing head of BRANDVOLD family from [Dale] to Marjorie\n"
      "Phone numbers don't match for HT/VT family 'A, B'\n"
      "Program terminating\n"
      "Changing head of SMITH family from [Al] to Joan\n"
      "Can't open output file (wardph.txt)\n"
      "Can't write to WARDZIP.TXT\n"
      "Can't open MIS1313.TXT\n"
      "Can't open MIS1413.TXT for input!\n"
      "\n"
      "kinroll-changes: 10 changes\n"
      "kinroll-contacts: 12 cards to ./wardcontacts.vcf, 33 birthdays to ./wardbirthdays.ics\n"
      "kinroll-book: 12 households, 3 pages (a4) to ./wardbook.pdf\n"
      "Something new (42) for 'X' [Y] 7 times\r\n"
      "Something new (3) for 'Z' [W] 8 times\n");
  struct Expected {
    const char* kind;
    size_t lines;
    bool known;
  } expected[] = {
      {"Changing head of ... family from ... to ...", 2, true},
      {"Phone numbers don't match for HT/VT family ...", 1, true},
      {"Can't open ... for writing", 2, true},
      {"Can't open ... (a printout not sent)", 2, true},
      {"Something new (...) for ... [...] ... times", 2, false},
  };
  ASSERT_EQ(groups.size(), std::size(expected));
  for (size_t i = 0; i < groups.size(); ++i) {
    EXPECT_EQ(groups[i].kind, expected[i].kind);
    EXPECT_EQ(groups[i].lines.size(), expected[i].lines) << groups[i].kind;
    EXPECT_EQ(groups[i].meaning != nullptr, expected[i].known) << groups[i].kind;
  }
  EXPECT_EQ(groups[0].lines[1], "Changing head of SMITH family from [Al] to Joan");
  EXPECT_EQ(groups[4].lines[0], "Something new (42) for 'X' [Y] 7 times");
}

/// A finished job's result with `inputs` given and `written` files.
JobResult result(std::vector<std::string> inputs, std::vector<std::string> written,
                 std::string messages = "") {
  JobResult r;
  r.inputs = std::move(inputs);
  for (std::string& name : written) r.written.push_back({std::move(name), 1});
  r.messages = std::move(messages);
  return r;
}

TEST(WebSummary, EveryGroupMadeOrWhyNot) {
  const std::vector<std::string> ward = {"wardph.txt", "wardfull.txt", "wardpriv.txt",
                                         "wardzip.txt", "warderr.txt", "wardfam.csv",
                                         "wardmem.csv"};
  // The directory alone: the ward lists and CSV files, the rest said why not.
  auto groups = summarise(result({"mis231.txt"}, ward), false, {}, false);
  ASSERT_EQ(groups.size(), 9u);
  const GroupState kMade = GroupState::kMade;
  const GroupState kNot = GroupState::kNotAsked;
  const GroupState states[] = {kMade, kNot, kNot, kNot, kMade, kNot, kNot, kNot, kNot};
  for (size_t i = 0; i < groups.size(); ++i)
    EXPECT_EQ(groups[i].state, states[i]) << groups[i].title;
  EXPECT_EQ(groups[1].why,
            "No home-teaching report (MIS 1313) was given, so there are no home-teaching lists");
  EXPECT_EQ(groups[5].why, "kinroll-contacts is not installed on this computer, so there are no "
                           "contacts for phones");
  EXPECT_EQ(groups[6].why,
            "No directory of last month was given or kept, so there is no changes report");
  EXPECT_EQ(groups[8].why,
            "kinroll-book is not installed on this computer, so there is no booklet");

  // A file of a group that should have it, missing: named with the message.
  std::vector<std::string> short_of_one(ward.begin() + 1, ward.end());
  groups = summarise(result({"mis231.txt"}, short_of_one, "Error writing wardph.txt\n"), false,
                     {}, false);
  EXPECT_EQ(groups[0].state, GroupState::kFailed);
  EXPECT_EQ(groups[0].why, "wardph.txt was not made: Error writing wardph.txt");

  // The stake without its units; the booklet still being made; the CSV
  // files wanting the teaching assignments of a teaching report.
  groups = summarise(result({"mis231.txt", "mis1313.txt", "smis.txt"}, ward), true,
                     {true, true}, true);
  EXPECT_EQ(groups[4].state, GroupState::kFailed);
  EXPECT_EQ(groups[4].why, "wardhtvt.csv was not made");
  EXPECT_EQ(groups[7].state, kNot);
  EXPECT_EQ(groups[7].why, "The stake report was given, but not the stake's units "
                           "(wardunits.txt) it needs, so there are no stake lists");
  EXPECT_EQ(groups[8].state, GroupState::kMaking);
}

TEST(WebOutputs, EveryFileByItsUse) {
  struct Case {
    const char* file;
    const char* name;  // null: none of the programs' files
  } cases[] = {
      {"wardph.txt", "Phone list"},
      {"wardbook.pdf", "Ward directory booklet"},
      {"stakedoc/as1Pos.txt", "Unit positions"},
      {"stakedoc/alpha.txt", "Stake alphabetical list"},
      {"stakedoc/Pos.txt", nullptr},
      {"stakedoc/x/yPos.txt", nullptr},
      {"wardph.txt.bak", nullptr},
  };
  for (const Case& c : cases) {
    const KnownFile* known = known_file(c.file);
    EXPECT_EQ(known != nullptr, c.name != nullptr) << c.file;
    if (known != nullptr && c.name != nullptr) {
      EXPECT_STREQ(known->name, c.name);
    }
  }
  EXPECT_STREQ(use_heading(known_file("wardcontacts.vcf")->use), "For phones");
}

TEST(WebViews, APageOfAFile) {
  std::string path = testing::TempDir() + "/view.csv";
  std::ofstream(path) << "A,B\n1,x\n2,y\n3,z\n4,w\n5";
  FilePage part;
  ASSERT_TRUE(read_page(path, true, 2, 2, &part));
  EXPECT_EQ(part.header, "A,B\n");
  EXPECT_EQ(part.lines, "3,z\n4,w\n");
  EXPECT_EQ(part.pages, 3u);
  ASSERT_TRUE(read_page(path, true, 2, 9, &part));  // past the last: the last
  EXPECT_EQ(part.page, 3u);
  EXPECT_EQ(part.lines, "5");
  ASSERT_TRUE(read_page(path, false, 10, 1, &part));
  EXPECT_EQ(part.header, "");
  EXPECT_EQ(part.pages, 1u);
  EXPECT_FALSE(read_page(path + ".gone", false, 10, 1, &part));
  std::filesystem::remove(path);
}

}  // namespace
