// kinroll-changes on pairs of directory printouts: the example ward a month
// apart, identical and CRLF copies, its option table (help, version, bad
// options, standard input and output, files that are no directory), a head
// who died, two families of one name, members without record
// numbers; and the troubles that end it with status 2.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "e2e/harness.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

/// The bytes of `name` under examples/.
std::string example(const std::string& name) {
  std::ifstream in(fs::path(KINROLL_EXAMPLES) / name, std::ios::binary);
  EXPECT_TRUE(in.good()) << "missing examples/" << name;
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

Outcome changes(const Scratch& s, const std::vector<std::string>& args) {
  return s.run_binary(KINROLL_CHANGES_BINARY, args, "");
}

/// The example ward's April printout in april/ and May's in may/.
void write_example_months(const Scratch& s) {
  fs::create_directory(s.dir() / "april");
  fs::create_directory(s.dir() / "may");
  s.write("april/mis231.txt", example("mis231.txt"));
  s.write("may/mis231.txt", example("next-month/mis231.txt"));
}

/// `text` with every line ending in CR LF.
std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(Changes, ExampleWardAMonthLater) {
  Scratch s;
  write_example_months(s);
  Outcome r = changes(s, {"--csv", "changes.csv", "april", "may/mis231.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, data("changes/example.txt"));
  EXPECT_EQ(r.err, "kinroll-changes: 10 changes, CSV rows in changes.csv\n");
  EXPECT_EQ(s.read("changes.csv"), data("changes/example.csv"));
  // Neither printout is touched, and nothing else is written.
  EXPECT_EQ(s.read("april/mis231.txt"), example("mis231.txt"));
  EXPECT_EQ(s.read("may/mis231.txt"), example("next-month/mis231.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(s.dir()), fs::directory_iterator()), 6);
}

TEST(Changes, IdenticalAndCrlfCopiesHaveNoChanges) {
  Scratch s;
  write_example_months(s);
  s.write("crlf.txt", crlf(example("mis231.txt")));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"april", "april/mis231.txt"},
        std::vector<std::string>{"april/", "crlf.txt"},
        std::vector<std::string>{"--csv=none.csv", "crlf.txt", "april"}}) {
    Outcome r = changes(s, args);
    EXPECT_EQ(r.status, 0) << args[0];
    EXPECT_EQ(r.out, "No changes\n");
    EXPECT_TRUE(r.err.starts_with("kinroll-changes: no changes")) << r.err;
  }
  EXPECT_EQ(s.read("none.csv"), "Kind,Family,Member,RecordNo,Old,New\n");
}

TEST(Changes, OptionTable) {
  Scratch s;
  write_example_months(s);
  s.write("empty.txt", "");
  s.write("mis1313.txt", example("mis1313.txt"));
  // The page header alone, with no family under it.
  std::string april = example("mis231.txt");
  s.write("header.txt", april.substr(0, april.find("ABERNATHY")));
  const std::string name = "kinroll-changes: ";
  const std::string try_help = "Try 'kinroll-changes --help' for more information.\n";
  const std::string usage = "Usage: kinroll-changes [--csv FILE] OLD NEW";
  check_option_table(
      s, KINROLL_CHANGES_BINARY,
      {
          {{"--help"}, "", 0, usage, ""},
          {{"april", "-h"}, "", 0, usage, ""},
          {{"--version"}, "", 0, version_line("kinroll-changes"), ""},
          {{"--cvs", "x", "april", "may"}, "", 2, "", name + "unknown option --cvs\n" + try_help},
          {{"-x", "april", "may"}, "", 2, "", name + "unknown option -x\n" + try_help},
          {{"-hx", "april", "may"}, "", 2, "", name + "unknown option -hx\n" + try_help},
          {{"april", "may", "--csv"}, "", 2, "", name + "option --csv needs a value\n" + try_help},
          {{"-", "may"}, april, 1, "Changes from - to may/mis231.txt", name + "10 changes\n"},
          {{"may", "-"}, april, 1, "Changes from may/mis231.txt to -", name + "9 changes\n"},
          {{"--csv", "-", "april", "may"}, "", 1, "Kind,Family,Member,RecordNo,Old,New",
           name + "10 changes\n"},
          {{"-", "-"}, april, 2, "", name + "only one of OLD and NEW can be standard input\n" + try_help},
          {{"--csv", "c.csv", "april", "mis1313.txt"}, "", 2, "",
           name + "mis1313.txt: not a directory of members printout\n"},
          {{"--csv", "c.csv", "empty.txt", "may"}, "", 2, "",
           name + "empty.txt: not a directory of members printout\n"},
          {{"--csv", "c.csv", "april", "-"}, "", 2, "",
           name + "-: not a directory of members printout\n"},
          {{"--csv", "c.csv", "header.txt", "may"}, "", 2, "",
           name + "header.txt: not a directory of members printout\n"},
      });
  EXPECT_FALSE(s.exists("c.csv"));
}

TEST(Changes, EdgeCasesOfMatching) {
  // A head who died, two families headed by a Mark of one name that swap
  // places in the printout, members whose pseudo numbers shift.
  for (const char* name : {"head_died", "same_name", "no_recno"}) {
    Scratch s;
    s.write("old.txt", data(std::string("changes/") + name + "_old.txt"));
    s.write("new.txt", data(std::string("changes/") + name + "_new.txt"));
    Outcome r = changes(s, {"old.txt", "new.txt"});
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_EQ(r.out, data(std::string("changes/") + name + ".txt")) << name;
    EXPECT_TRUE(std::regex_match(r.err, std::regex("kinroll-changes: [1-9][0-9]* changes?\n")))
        << r.err;
  }
}

TEST(Changes, UnreadablePrintoutsAreTrouble) {
  Scratch s;
  write_example_months(s);
  fs::create_directory(s.dir() / "june");
  fs::create_directory(s.dir() / "july");
  fs::create_directory(s.dir() / "july/mis231.txt");
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"april", "missing.txt"}, "kinroll-changes: cannot read missing.txt: No such file or directory\n"},
      {{"june", "april"}, "kinroll-changes: cannot read june/mis231.txt: No such file or directory\n"},
      {{"april", "july"}, "kinroll-changes: cannot read july/mis231.txt: it is a folder\n"},
  };
  for (const Case& c : cases) {
    Outcome r = changes(s, c.args);
    EXPECT_EQ(r.status, 2) << c.args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
}

TEST(Changes, BadArgumentsAreTroubleWithAPointerToHelp) {
  Scratch s;
  write_example_months(s);
  const std::string usage = "Try 'kinroll-changes --help' for more information.\n";
  struct Case {
    std::vector<std::string> args;
    std::string first_line;
  } cases[] = {
      {{}, "kinroll-changes: two directory printouts needed, OLD and NEW\n"},
      {{"april"}, "kinroll-changes: two directory printouts needed, OLD and NEW\n"},
      {{"april", "may", "april"}, "kinroll-changes: only two directory printouts, OLD and NEW\n"},
      {{"--csv=", "april", "may"}, "kinroll-changes: option --csv needs a file name\n"},
  };
  for (const Case& c : cases) {
    Outcome r = changes(s, c.args);
    EXPECT_EQ(r.status, 2) << c.first_line;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.first_line + usage);
  }
  Outcome help = changes(s, {"april", "--help"});
  EXPECT_NE(help.out.find("Exit status: 0 no changes, 1 changes found, 2 trouble.\n"),
            std::string::npos);
  // After "--" a name may begin with "--".
  s.write("--odd", example("mis231.txt"));
  Outcome odd = changes(s, {"--", "--odd", "april"});
  EXPECT_EQ(odd.status, 0);
  EXPECT_EQ(odd.out, "No changes\n");
}

TEST(Changes, ACsvFileThatIsAPrintoutIsRefusedBeforeAnythingIsWritten) {
  Scratch s;
  write_example_months(s);
  fs::create_symlink("may/mis231.txt", s.dir() / "link.csv");
  struct Case {
    std::vector<std::string> args;
    std::string err_start;
  } cases[] = {
      {{"--csv", "april/mis231.txt", "april", "may"},
       "--csv april/mis231.txt would overwrite the old printout april/mis231.txt"},
      {{"--csv=may/mis231.txt", "april", "may/mis231.txt"},
       "--csv may/mis231.txt would overwrite the new printout may/mis231.txt"},
      {{"--csv", "./april//mis231.txt", "april/", "may"}, "--csv ./april//mis231.txt would"},
      {{"--csv", "link.csv", "april", "may"}, "--csv link.csv would overwrite the new printout"},
  };
  std::map<std::string, std::string> before = s.files();
  for (const Case& c : cases) {
    Outcome r = changes(s, c.args);
    EXPECT_EQ(r.status, 2) << c.err_start;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("kinroll-changes: " + c.err_start)) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_EQ(s.files(), before) << c.err_start;
  }
}

TEST(Changes, FailedOutputsAreTrouble) {
  Scratch s;
  write_example_months(s);
  // A CSV file that cannot be opened: the report is still printed.
  Outcome r = changes(s, {"--csv", "nowhere/changes.csv", "april", "may"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, data("changes/example.txt"));
  EXPECT_EQ(r.err, "kinroll-changes: cannot write nowhere/changes.csv: No such file or directory\n");

  // A CSV file that cannot be written whole keeps its old version.
  s.write("changes.csv", "last month\n");
  Outcome full = s.run_binary(KINROLL_CHANGES_BINARY, {"--csv", "changes.csv", "april", "may"}, "",
                              200);
  EXPECT_EQ(full.status, 2);
  EXPECT_EQ(full.err, "Error writing changes.csv\n");
  EXPECT_EQ(s.read("changes.csv"), "last month\n");

  // A report that cannot be written is no success.
  std::string cmd = std::string("cd '") + s.dir().string() + "' && '" + KINROLL_CHANGES_BINARY +
                    "' april may > /dev/full 2> full.err";
  int raw = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 2);
  EXPECT_EQ(s.read("full.err"), "kinroll-changes: cannot write the standard output\n");
}

}  // namespace
}  // namespace e2e
