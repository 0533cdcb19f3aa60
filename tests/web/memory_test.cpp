// What the page remembers between months: the unit and the configuration
// files given last, the directory kept for next month, their forgetting;
// the date a directory was printed; the names the changes report gets.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "web/memory.h"

namespace {

namespace fs = std::filesystem;

const std::string kHeader =
    "DIRECTORY OF MEMBERS (MIS 231)                                          Page 1\n"
    "Alder Springs 2nd Ward                                                  14 Apr 2024\n"
    "Alder Springs Stake\n";

TEST(WebMemory, DateOfTheDirectoryFromItsFirstPageHeader) {
  const std::string title = "DIRECTORY OF MEMBERS (MIS 231)       Page 1\n";
  struct Case {
    std::string head;
    std::string date;
  } cases[] = {
      {kHeader, "14 Apr 2024"},
      {"\n  \n\f" + title + "Ward   04 May 2024\r\nStake\r\n", "4 May 2024"},
      {title + "Ward 4 Dec 1999\n", "4 Dec 1999"},
      {title + "Ward\n", ""},                        // no date
      {title + "Ward 14 April 2024\n", ""},          // not a month
      {title + "Ward 14 Apr 24\n", ""},              // not a year
      {title + "Ward 32 Apr 2024\n", ""},            // not a day
      {title + "Ward 14 Apr 2024", ""},              // cut off within the line
      {"MEMBERSHIP LISTING BY HOUSEHOLD (MIS 232)\nWard 14 Apr 2024\n", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(printout_date(c.head), c.date) << c.head;
}

TEST(WebMemory, NamesTheChangesReportGives) {
  struct Case {
    std::string last, now, old_name, new_name;
  } cases[] = {
      {"april.txt", "May listing.TXT", "april.txt", "May listing.TXT"},
      {"C:\\printouts\\april.txt", "x/may.txt", "april.txt", "may.txt"},
      {"mis231.txt", "mis231.txt", "last month's mis231.txt", "this month's mis231.txt"},
      {"changes.csv", "mis231.txt", "last month's changes.csv", "this month's mis231.txt"},
      {"last month's directory of 14 Apr 2024", "", "last month's directory of 14 Apr 2024",
       "this month's directory"},
      {"-x", "..", "last month's directory", "this month's directory"},
      {".hidden", std::string(101, 'a'), "last month's directory", "this month's directory"},
      {"J\xC3\xBCrgen.txt", "a\x01.txt", "J\xFCrgen.txt", "a?.txt"},  // Latin-1, as the report
  };
  for (const Case& c : cases) {
    ChangesNames names = changes_names(c.last, c.now);
    EXPECT_EQ(names.old_name, c.old_name) << c.last;
    EXPECT_EQ(names.new_name, c.new_name) << c.now;
  }
}

/// Scratch configuration and state folders, and job folders made in it.
class WebMemoryFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kinroll-memory-XXXXXX";
    root_ = mkdtemp(tmpl);
    folders_ = {root_ + "/config/kinroll", root_ + "/state/kinroll"};
  }
  void TearDown() override { fs::remove_all(root_); }

  static void write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  /// A job, keeping its directory with `keep`, and its placement of
  /// `inputs` (standard names) into work/, with the bytes given, each
  /// uploaded as "up-NAME".
  struct Placed {
    std::unique_ptr<Job> job;
    Placement placed;
  };
  Placed job(const std::vector<std::pair<const char*, std::string>>& inputs, bool keep) {
    Placed p{std::make_unique<Job>(), {}};
    p.job->folder = root_ + "/job" + std::to_string(++jobs_);
    p.job->keep = keep;
    fs::create_directories(p.job->work());
    fs::create_directories(p.job->folder + "/last");
    for (const auto& [name, bytes] : inputs) {
      write(p.job->work() + "/" + name, bytes);
      UploadedFile up;
      up.name = std::string("up-") + name;
      up.size = bytes.size();
      up.taken_as = name;
      p.placed.uploads.push_back(up);
      p.placed.has_directory = p.placed.has_directory || std::string(name) == "mis231.txt";
    }
    return p;
  }

  std::string root_;
  MemoryFolders folders_;
  int jobs_ = 0;
};

TEST_F(WebMemoryFiles, GivenOnceUsedUntilReplacedOrForgotten) {
  const std::string april = kHeader + "ABERNATHY\n";
  const std::string may = "DIRECTORY OF MEMBERS (MIS 231)   Page 1\nWard   12 May 2024\nx\n";
  EXPECT_EQ(recall(folders_).unit, "");

  // The first month gives everything; nothing was there to use.
  auto first = job({{"mis231.txt", april}, {"wardunits.txt", "units"}, {"wardorgs.txt", "orgs"}},
                   true);
  EXPECT_EQ(choose_unit(folders_, "  G\xC3\xB6rdon Ward \n"), "G\xF6rdon Ward");
  use_memory(folders_, *first.job, &first.placed);
  EXPECT_FALSE(first.placed.has_last_month);
  EXPECT_EQ(first.placed.uploads.size(), 3u);
  // The user's alone: folders 0700, files 0600.
  for (const std::string& dir : {folders_.config, folders_.state}) {
    EXPECT_EQ(fs::status(dir).permissions(), fs::perms::owner_all) << dir;
  }
  for (const char* file : {"config/kinroll/web-unit", "config/kinroll/web-wardunits.txt",
                           "config/kinroll/web-wardorgs.txt", "state/kinroll/web-last-month.txt"}) {
    EXPECT_EQ(fs::status(root_ + "/" + file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write) << file;
  }
  Recalled r = recall(folders_);
  EXPECT_EQ(r.unit, "G\xC3\xB6rdon Ward");
  EXPECT_FALSE(r.units_date.empty());
  EXPECT_FALSE(r.orgs_date.empty());
  EXPECT_EQ(r.last_month.date, "14 Apr 2024");
  EXPECT_TRUE(r.last_month.printed);

  // The next month gives only its directory: the rest comes from memory,
  // listed among the inputs, and April's directory is last month's.
  auto second = job({{"mis231.txt", may}}, true);
  EXPECT_EQ(choose_unit(folders_, " "), "G\xF6rdon Ward");
  use_memory(folders_, *second.job, &second.placed);
  EXPECT_EQ(read(second.job->work() + "/wardunits.txt"), "units");
  EXPECT_EQ(read(second.job->work() + "/wardorgs.txt"), "orgs");
  EXPECT_EQ(read(second.job->folder + "/last/mis231.txt"), april);
  EXPECT_TRUE(second.placed.has_last_month);
  EXPECT_EQ(second.placed.last_month_name, "last month's directory of 14 Apr 2024");
  const std::vector<UploadedFile>& ups = second.placed.uploads;
  ASSERT_EQ(ups.size(), 4u);
  EXPECT_EQ(ups[1].name, "wardunits.txt (from this computer)");
  EXPECT_STREQ(ups[1].taken_as, "wardunits.txt");
  EXPECT_EQ(ups[3].name, "last month's directory of 14 Apr 2024 (from this computer)");
  EXPECT_EQ(ups[3].size, april.size());
  EXPECT_EQ(recall(folders_).last_month.date, "12 May 2024");

  // Unticked, the kept directory stays; given, a file replaces the kept one.
  auto third = job({{"mis231.txt", april}, {"wardorgs.txt", "new orgs"}}, false);
  EXPECT_EQ(choose_unit(folders_, "Other Ward"), "Other Ward");
  use_memory(folders_, *third.job, &third.placed);
  EXPECT_EQ(third.placed.last_month_name, "last month's directory of 12 May 2024");
  EXPECT_EQ(recall(folders_).last_month.date, "12 May 2024");
  EXPECT_EQ(recall(folders_).unit, "Other Ward");
  EXPECT_EQ(read(root_ + "/config/kinroll/web-wardorgs.txt"), "new orgs");

  // Last month's given in the form is used under its own name, not kept.
  auto fourth = job({{"mis231.txt", may}}, false);
  UploadedFile april_up;
  april_up.name = "April.txt";
  april_up.size = april.size();
  april_up.taken_as = "last month's mis231.txt";
  fourth.placed.uploads.push_back(april_up);
  fourth.placed.has_last_month = true;
  fourth.job->received = {{kPrintoutsField, "up-mis231.txt", may.size()},
                          {kLastMonthField, "April.txt", april.size()}};
  use_memory(folders_, *fourth.job, &fourth.placed);
  EXPECT_EQ(fourth.placed.last_month_name, "April.txt");
  EXPECT_FALSE(fs::exists(fourth.job->folder + "/last/mis231.txt"));  // the upload's place

  // Each forgotten by the name of its field; then nothing comes from memory.
  for (const char* name : {"unit", "wardunits", "wardorgs", "lastmonth"}) {
    Remembered what;
    ASSERT_TRUE(remembered_by_name(name, &what)) << name;
    EXPECT_TRUE(forget_remembered(folders_, what)) << name;
    EXPECT_TRUE(forget_remembered(folders_, what)) << name;  // already gone
  }
  Remembered what;
  EXPECT_FALSE(remembered_by_name("contacts", &what));
  r = recall(folders_);
  EXPECT_EQ(r.unit + r.units_date + r.orgs_date + r.last_month.date, "");
  auto fifth = job({{"mis231.txt", may}}, false);
  EXPECT_EQ(choose_unit(folders_, ""), "Ward");
  use_memory(folders_, *fifth.job, &fifth.placed);
  EXPECT_FALSE(fifth.placed.has_last_month);
  EXPECT_EQ(fifth.placed.uploads.size(), 1u);
  EXPECT_FALSE(fs::exists(fifth.job->work() + "/wardunits.txt"));
  EXPECT_TRUE(fs::is_empty(folders_.config));
}

TEST_F(WebMemoryFiles, ADirectoryWithoutADateIsNamedByTheDayItWasKept) {
  write(folders_.state + "/web-last-month.txt", "ABERNATHY\n");
  Recalled r = recall(folders_);
  EXPECT_FALSE(r.last_month.printed);
  char today[32];
  time_t now = time(nullptr);
  strftime(today, sizeof today, "%e %b %Y", localtime(&now));
  EXPECT_EQ(r.last_month.date, std::string(today + (today[0] == ' ' ? 1 : 0)));
  EXPECT_EQ(kept_directory_name(r.last_month),
            "last month's directory, kept on " + r.last_month.date);
  // No directory this month: the kept one is not used, nor replaced.
  auto none = job({{"mis232.txt", "x"}}, true);
  use_memory(folders_, *none.job, &none.placed);
  EXPECT_FALSE(none.placed.has_last_month);
  EXPECT_EQ(read(folders_.state + "/web-last-month.txt"), "ABERNATHY\n");
}

TEST_F(WebMemoryFiles, TheStateFolderShownFromTheHomeFolder) {
  std::string saved = getenv("HOME") != nullptr ? getenv("HOME") : "";
  setenv("HOME", root_.c_str(), 1);
  EXPECT_EQ(recall({"", root_ + "/.local/state/kinroll"}).state_shown, "~/.local/state/kinroll");
  EXPECT_EQ(recall({"", root_ + "x/kinroll"}).state_shown, root_ + "x/kinroll");
  setenv("HOME", saved.c_str(), 1);
}

}  // namespace
