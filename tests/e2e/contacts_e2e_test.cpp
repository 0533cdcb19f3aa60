// kinroll-contacts end to end: the example ward and a ward of odd names
// against expected files, both files read back by Python's vobject and
// icalendar, UIDs that stay, the default key file, the options, and every
// kind of trouble with its message and exit status 2.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "e2e/harness.h"

namespace {

namespace fs = std::filesystem;
using e2e::Outcome;
using e2e::ScopedEnv;
using e2e::Scratch;

constexpr const char* kStamp = "1713052800";  // 14 Apr 2024 00:00 UTC
const std::string kUsage =
    "Usage: kinroll-contacts [--vcf FILE] [--ics FILE] [--key FILE] [-u unit] DIR\n";
const std::string kTryHelp = "Try 'kinroll-contacts --help' for more information.\n";
/// What a run on the example ward says at its end, written into "ward".
const std::string kExampleSummary =
    "kinroll-contacts: 12 cards to ward/wardcontacts.vcf, 33 birthdays to ward/wardbirthdays.ics\n";

/// A scratch folder set up for kinroll-contacts: the test key as "test.key"
/// and a folder "ward".
class Contacts : public testing::Test {
 protected:
  Contacts() : stamp_("SOURCE_DATE_EPOCH", kStamp) {
    s_.use_program(KINROLL_CONTACTS_BINARY);
    write_key("test.key", e2e::data("contacts/test.key"));
    fs::create_directory(s_.dir() / "ward");
  }

  /// Writes the key file `name`, readable by its owner only unless `mode`
  /// says otherwise.
  void write_key(const std::string& name, const std::string& text,
                 fs::perms mode = fs::perms::owner_read | fs::perms::owner_write) {
    s_.write(name, text);
    fs::permissions(s_.dir() / name, mode);
  }

  /// Copies the printouts `names` from `from` into the folder "ward".
  void ward_from(const fs::path& from, std::vector<std::string> names) {
    for (const auto& n : names) fs::copy_file(from / n, s_.dir() / "ward" / n);
  }
  void example_ward() { ward_from(KINROLL_EXAMPLES, {"mis231.txt", "mis232.txt", "mis239.txt"}); }
  void tricky_ward() {
    ward_from(fs::path(KINROLL_TESTDATA) / "contacts/tricky", {"mis231.txt", "mis239.txt"});
  }

  Outcome run(std::vector<std::string> args) { return s_.run(args, ""); }

  /// What contacts_check.py reads from the two files; skips the test when
  /// /usr/bin/python3 lacks the modules.
  std::string read_back(const std::string& vcf, const std::string& ics) {
    std::string cmd = "/usr/bin/python3 " + std::string(KINROLL_CONTACTS_CHECK) + " " +
                      s_.path(vcf) + " " + s_.path(ics) + " > " + s_.path("read.txt") + " 2>&1";
    int raw = std::system(cmd.c_str());
    int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (status == 77 || status == 127) return "skip";
    EXPECT_EQ(status, 0) << s_.read("read.txt");
    return s_.read("read.txt");
  }

  ScopedEnv stamp_;
  Scratch s_;
};

TEST_F(Contacts, ExampleWard) {
  example_ward();
  Outcome r = run({"--key", "test.key", "ward"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kExampleSummary);
  EXPECT_EQ(s_.read("ward/wardcontacts.vcf"), e2e::data("contacts/example.vcf"));
  EXPECT_EQ(s_.read("ward/wardbirthdays.ics"), e2e::data("contacts/example.ics"));
}

TEST_F(Contacts, OddNamesLatin1AndAUnitNameWithAComma) {
  tricky_ward();
  Outcome r = run({"--key", "test.key", "-u", "R\xe9my Ward, North", "ward"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.err.starts_with("kinroll-contacts: ")) << r.err;
  EXPECT_EQ(s_.read("ward/wardcontacts.vcf"), e2e::data("contacts/tricky.vcf"));
  EXPECT_EQ(s_.read("ward/wardbirthdays.ics"), e2e::data("contacts/tricky.ics"));
}

TEST_F(Contacts, RealReadersReadOneCardPerFamilyAndOneEventPerBirthday) {
  tricky_ward();
  ASSERT_EQ(run({"--key", "test.key", "-uR\xc3\xa9my Ward, North", "ward"}).status, 0);
  std::string read = read_back("ward/wardcontacts.vcf", "ward/wardbirthdays.ics");
  if (read == "skip") GTEST_SKIP() << "/usr/bin/python3 lacks vobject or icalendar";
  EXPECT_EQ(read, e2e::data("contacts/tricky_read.txt"));

  // The example ward: 13 families, one of them a cross-reference; 36
  // members, of whom Carla has no birth date and Dale is bracketed.
  fs::remove_all(s_.dir() / "ward");
  fs::create_directory(s_.dir() / "ward");
  example_ward();
  ASSERT_EQ(run({"--key", "test.key", "ward"}).status, 0);
  read = read_back("ward/wardcontacts.vcf", "ward/wardbirthdays.ics");
  EXPECT_TRUE(read.ends_with("\n12 cards, 33 events\n")) << read;
}

TEST_F(Contacts, TheSameUidsFromRunToRunAndOnlyTheStampMoves) {
  example_ward();
  ASSERT_EQ(run({"--key", "test.key", "--vcf", "a.vcf", "--ics", "a.ics", "ward"}).status, 0);
  std::string ics;
  {
    ScopedEnv later("SOURCE_DATE_EPOCH", "1717200000");  // 1 Jun 2024
    ASSERT_EQ(run({"--key", "test.key", "--vcf=b.vcf", "--ics=b.ics", "ward"}).status, 0);
  }
  EXPECT_EQ(s_.read("b.vcf"), s_.read("a.vcf"));
  std::string expected = s_.read("a.ics");
  for (size_t at = expected.find("DTSTAMP:20240414T000000Z"); at != std::string::npos;
       at = expected.find("DTSTAMP:20240414T000000Z", at)) {
    expected.replace(at, 24, "DTSTAMP:20240601T000000Z");
  }
  EXPECT_EQ(s_.read("b.ics"), expected);

  // Without SOURCE_DATE_EPOCH the stamp is the time of the run.
  std::time_t before = std::time(nullptr);
  {
    ScopedEnv none("SOURCE_DATE_EPOCH", std::nullopt);
    ASSERT_EQ(run({"--key", "test.key", "--vcf", "c.vcf", "--ics", "c.ics", "ward"}).status, 0);
  }
  std::time_t after = std::time(nullptr);
  std::string c = s_.read("c.ics");
  size_t at = c.find("DTSTAMP:");
  ASSERT_NE(at, std::string::npos);
  std::tm tm{};
  ASSERT_NE(strptime(c.substr(at + 8, 16).c_str(), "%Y%m%dT%H%M%SZ", &tm), nullptr);
  std::time_t stamp = timegm(&tm);
  EXPECT_GE(stamp, before);
  EXPECT_LE(stamp, after);

  // The last second of the year 3000 is the last stamp there is.
  {
    ScopedEnv last("SOURCE_DATE_EPOCH", "32535215999");
    ASSERT_EQ(run({"--key", "test.key", "--vcf", "d.vcf", "--ics", "d.ics", "ward"}).status, 0);
  }
  EXPECT_NE(s_.read("d.ics").find("\r\nDTSTAMP:30001231T235959Z\r\n"), std::string::npos);
}

TEST_F(Contacts, DefaultKeyFileIsMadeOnceUnderHome) {
  example_ward();
  fs::create_directory(s_.dir() / "home");
  ScopedEnv home("HOME", s_.path("home"));
  ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
  Outcome r = run({"ward"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, kExampleSummary);
  std::string key = s_.read("home/.config/kinroll/contacts.key");
  EXPECT_EQ(key.size(), 65u);
  struct stat st;
  ASSERT_EQ(::stat(s_.path("home/.config/kinroll/contacts.key").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  std::string first = s_.read("ward/wardcontacts.vcf");
  // Another key, other UIDs, the rest alike.
  EXPECT_NE(first, e2e::data("contacts/example.vcf"));
  EXPECT_EQ(first.size(), e2e::data("contacts/example.vcf").size());

  ASSERT_EQ(run({"ward"}).status, 0);
  EXPECT_EQ(s_.read("home/.config/kinroll/contacts.key"), key);
  EXPECT_EQ(s_.read("ward/wardcontacts.vcf"), first);

  ScopedEnv config("XDG_CONFIG_HOME", s_.path("config"));
  ASSERT_EQ(run({"ward"}).status, 0);
  EXPECT_TRUE(s_.exists("config/kinroll/contacts.key"));
}

TEST_F(Contacts, OptionsMayComeAnywhereAndDoubleDashEndsThem) {
  example_ward();
  fs::rename(s_.dir() / "ward", s_.dir() / "-u");
  Outcome r =
      run({"-u", "Alder Springs 2nd Ward", "--key=test.key", "--vcf", "-u.vcf", "--", "-u"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string vcf = s_.read("-u.vcf");
  EXPECT_NE(vcf.find("CATEGORIES:Alder Springs 2nd Ward\r\n"), std::string::npos);
  EXPECT_EQ(vcf.find("CATEGORIES:Ward\r\n"), std::string::npos);
  EXPECT_TRUE(s_.exists("-u/wardbirthdays.ics"));
}

TEST_F(Contacts, OptionTable) {
  example_ward();
  fs::create_directory(s_.dir() / "wrong");
  fs::copy_file(fs::path(KINROLL_EXAMPLES) / "mis1313.txt", s_.dir() / "wrong/mis231.txt");
  fs::create_directory(s_.dir() / "empty");
  s_.write("empty/mis231.txt", "");
  const std::string name = "kinroll-contacts: ";
  const std::string usage = kUsage.substr(0, kUsage.size() - 1);
  e2e::check_option_table(
      s_, KINROLL_CONTACTS_BINARY,
      {
          {{"--help"}, "", 0, usage, ""},
          {{"-h"}, "", 0, usage, ""},
          {{"--version", "ward"}, "", 0, e2e::version_line("kinroll-contacts"), ""},
          {{"--csv", "x", "ward"}, "", 2, "", name + "unknown option --csv\n" + kTryHelp},
          {{"-x", "ward"}, "", 2, "", name + "unknown option -x\n" + kTryHelp},
          {{"ward", "--key"}, "", 2, "", name + "option --key needs a value\n" + kTryHelp},
          {{"ward", "-u"}, "", 2, "", name + "option -u needs a value\n" + kTryHelp},
          {{"--key", "test.key", "--unit", "North", "--vcf", "-", "ward"}, "", 0,
           "BEGIN:VCARD\r",
           name + "12 cards to standard output, 33 birthdays to ward/wardbirthdays.ics\n"},
          {{"--key", "test.key", "--vcf", "-", "--ics", "-", "ward"}, "", 2, "",
           name + "--vcf and --ics name the same file -\n" + kTryHelp},
          {{"--key", "test.key", "wrong"}, "", 2, "",
           name + "wrong/mis231.txt: not a directory of members printout\n"},
          {{"--key", "test.key", "empty"}, "", 2, "",
           name + "empty/mis231.txt: not a directory of members printout\n"},
      });
  for (const char* out : {"wrong/wardcontacts.vcf", "wrong/wardbirthdays.ics",
                          "empty/wardcontacts.vcf", "empty/wardbirthdays.ics"}) {
    EXPECT_FALSE(s_.exists(out)) << out;
  }
}

TEST_F(Contacts, TroubleIsNamedAndNothingIsWritten) {
  example_ward();
  s_.write("old.vcf", "last month's cards\n");
  write_key("short.key", "too short\n");
  write_key("blank.key", std::string(40, ' ') + "\n");
  write_key("open.key", e2e::data("contacts/test.key"),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
  s_.write("afile", "not a folder\n");
  fs::create_directories(s_.dir() / "nofamily");
  s_.write("nofamily/mis231.txt", "\n");
  fs::create_directories(s_.dir() / "folder239");
  fs::copy_file(s_.dir() / "ward/mis231.txt", s_.dir() / "folder239/mis231.txt");
  fs::create_directories(s_.dir() / "folder239/mis239.txt");
  fs::create_directories(s_.dir() / "empty");
  const std::string name = "kinroll-contacts: ";
  struct Case {
    std::vector<std::string> args;
    std::string err;
    const char* epoch = kStamp;
  } cases[] = {
      {{}, name + "no folder named\n" + kTryHelp},
      {{"ward", "ward"}, name + "more than one folder named\n" + kTryHelp},
      {{"ward", "--vcf"}, name + "option --vcf needs a value\n" + kTryHelp},
      {{"--vcf", "", "ward"}, name + "an output file needs a name\n" + kTryHelp},
      {{"--vcf", "x", "--ics", "x", "ward"},
       name + "--vcf and --ics name the same file x\n" + kTryHelp},
      {{"--vcf", "old.vcf", "--ics", "./old.vcf", "ward"},
       name + "--vcf and --ics name the same file old.vcf\n" + kTryHelp},
      {{"--key", "test.key", "afile"}, name + "afile is not a folder\n"},
      {{"--key", "test.key", "missing"}, name + "missing is not a folder\n"},
      {{"--key", "test.key", "empty"},
       name + "cannot read empty/mis231.txt: No such file or directory\n"},
      {{"--key", "test.key", "nofamily"},
       name + "nofamily/mis231.txt: not a directory of members printout\n"},
      {{"--key", "test.key", "folder239"},
       name + "cannot read folder239/mis239.txt: it is a folder\n"},
      {{"--key", "short.key", "ward"},
       name + "key file short.key holds fewer than 32 characters\n"},
      {{"--key", "ward", "ward"}, name + "cannot read key file ward: it is a folder\n"},
      {{"--key", "blank.key", "ward"},
       name + "key file blank.key holds only blanks and NUL bytes\n"},
      {{"--key", "open.key", "ward"},
       name + "key file open.key is open to others (mode 0644): chmod 600 it\n"},
      {{"--key", "test.key", "ward"},
       name + "SOURCE_DATE_EPOCH is not a number of seconds: 12ab\n",
       "12ab"},
      {{"--key", "test.key", "ward"},
       name + "SOURCE_DATE_EPOCH is not a number of seconds: -5\n",
       "-5"},
      {{"--key", "test.key", "ward"},
       name + "SOURCE_DATE_EPOCH is past the year 3000: 32535216000\n", "32535216000"},
  };
  for (const Case& c : cases) {
    ScopedEnv epoch("SOURCE_DATE_EPOCH", c.epoch);
    Outcome r = run(c.args);
    std::string line;
    for (const auto& a : c.args) line += "[" + a + "]";
    EXPECT_EQ(r.status, 2) << line;
    EXPECT_EQ(r.err, c.err) << line;
    EXPECT_EQ(r.out, "") << line;
    for (const char* out : {"ward/wardcontacts.vcf", "ward/wardbirthdays.ics", "x",
                            "folder239/wardcontacts.vcf", "nofamily/wardbirthdays.ics"}) {
      EXPECT_FALSE(s_.exists(out)) << line << " wrote " << out;
    }
  }
  EXPECT_EQ(s_.read("old.vcf"), "last month's cards\n");
}

TEST_F(Contacts, AnOutputThatIsAnInputOrTheKeyIsRefusedBeforeAnythingIsWritten) {
  example_ward();
  fs::create_symlink("ward/mis231.txt", s_.dir() / "link.vcf");
  fs::create_hard_link(s_.dir() / "test.key", s_.dir() / "hard.ics");
  struct Case {
    std::vector<std::string> args;
    std::string err_start;
  } cases[] = {
      {{"--vcf", "ward/mis231.txt", "ward"}, "--vcf ward/mis231.txt would overwrite the directory"},
      {{"--ics", "ward/mis232.txt", "ward"}, "--ics ward/mis232.txt would overwrite the family"},
      {{"--vcf", "./ward//mis239.txt", "ward"},
       "--vcf ./ward//mis239.txt would overwrite the record number list ward/mis239.txt"},
      {{"--ics", "test.key", "ward"}, "--ics test.key would overwrite the key file test.key"},
      {{"--vcf", "link.vcf", "ward"}, "--vcf link.vcf would overwrite the directory"},
      {{"--ics", "hard.ics", "ward"}, "--ics hard.ics would overwrite the key file"},
  };
  std::map<std::string, std::string> before = s_.files();
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--key", "test.key"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Outcome r = run(args);
    EXPECT_EQ(r.status, 2) << c.err_start;
    EXPECT_TRUE(r.err.starts_with("kinroll-contacts: " + c.err_start)) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_EQ(s_.files(), before) << c.err_start;
  }
}

TEST_F(Contacts, AFileThatCannotBeWrittenLeavesTheOtherWrittenAndTheOldKept) {
  example_ward();
  Outcome r = run({"--key", "test.key", "--vcf", "nowhere/c.vcf", "ward"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kinroll-contacts: cannot write nowhere/c.vcf: No such file or directory\n");
  EXPECT_EQ(s_.read("ward/wardbirthdays.ics"), e2e::data("contacts/example.ics"));

  // A write that fails part-way keeps the file of the last run.
  s_.write("ward/wardcontacts.vcf", "last month's cards\n");
  s_.write("ward/wardbirthdays.ics", "last month's birthdays\n");
  r = s_.run({"--key", "test.key", "ward"}, "", 2000);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "Error writing ward/wardcontacts.vcf\nError writing ward/wardbirthdays.ics\n");
  EXPECT_EQ(s_.read("ward/wardcontacts.vcf"), "last month's cards\n");
  EXPECT_EQ(s_.read("ward/wardbirthdays.ics"), "last month's birthdays\n");
}

}  // namespace
