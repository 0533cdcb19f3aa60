// End of console input at every prompt of every menu: the program ends as
// "q" does, and the option it was in writes nothing and leaves no
// temporary file.

#include "e2e/harness.h"

namespace e2e {
namespace {

/// The console up to a prompt, and that prompt.
struct AtPrompt {
  const char* console;
  const char* prompt;
};

const AtPrompt kPrompts[] = {
    {"", "\nEnter option: "},
    {"?\n", "\nEnter option: "},
    // Reports.
    {"201\n", "Enter name of report (mis231.txt): "},
    {"202\n", "Enter name of report (mis232.txt): "},
    {"209\n", "Enter name of report (mis239.txt): "},
    {"301\n", "Enter name of report (mis1313.txt): "},
    {"401\n", "Enter name of report (mis1413.txt): "},
    {"101\n", "Enter name of report (mis121.txt): "},
    {"701\n", "Enter input file (smis.txt): "},
    // Ward lists and the miscellaneous menu.
    {"210\n", "Enter file name (wardfull): "},
    {"212\n", "Enter file name (wardpriv): "},
    {"215\n", "Enter file name (wardaddr): "},
    {"220\n", "Enter base file name (wardph): "},
    {"225\n", "Enter base file name (warddir): "},
    {"227\n", "Enter base file name (wardpbk): "},
    {"230\n", "Enter file name (wardzip): "},
    {"240\n", "Enter file name (wardnonm): "},
    {"290\n", "Enter file name (warderr.txt): "},
    {"9\n", "Enter file name (wardsave.txt): "},
    {"22\n", "Enter file name (wardsap): "},
    {"201\n\n8\n", "Press ENTER to continue: "},
    // Teaching lists.
    {"310\n", "Enter file name (wardht): "},
    {"312\n", "Enter file name (htdist): "},
    {"314\n", "Enter file name (htdpct): "},
    {"320\n", "Enter file name (htlist): "},
    {"410\n", "Enter file name (wardvt): "},
    {"412\n", "Enter file name (vtdist): "},
    {"420\n", "Enter file name (vtlist): "},
    // Positions and stake.
    {"110\n", "Enter directory name (wardpos): "},
    {"120\n", "Enter name of working directory (webin): "},
    {"130\n", "Enter name of working directory (stakein): "},
    {"720\n", "Enter directory name (stakedoc): "},
    {"730\n", "Enter directory name (stakedoc): "},
    {"730\n\n", "Enter output file (alpha): "},
    {"790\n", "Enter input file name (smis.txt): "},
    {"790\n\n", "Enter output file name (smis.csv): "},
    {"790\n\n\n", "Create web page? (y or n): "},
    {"790\n\n\ny\n", "Enter output directory (stakein): "},
    {"790\n\n\ny\n\n", "Create Palm Text File? (y or n): "},
    {"790\n\n\nn\ny\n", "Enter doc name (smisdoc.txt): "},
};

TEST(EndOfInput, AtEveryPromptEndsTheProgramAndWritesNothing) {
  Scratch s;
  s.write("mis231.txt", data("batch/mis231.txt"));
  s.write("smis.txt", data("stake/smis.txt"));
  // Every default output exists already and must come through untouched.
  for (const char* name :
       {"wardfull.txt", "wardpriv.txt", "wardaddr.txt", "wardph.txt", "warddir.txt",
        "wardpbk.txt", "wardzip.txt", "wardnonm.txt", "warderr.txt", "wardsave.txt",
        "wardsap.txt", "wardht.txt", "htdist.txt", "htdpct.txt", "htlist.txt", "wardvt.txt",
        "vtdist.txt", "vtlist.txt", "wardpos.txt", "webin/webpos.html", "stakein/webpos.html",
        "stakein/stakepos.html", "stakedoc/alpha.txt", "smis.csv", "smisdoc.txt"}) {
    fs::create_directories((s.dir() / name).parent_path());
    s.write(name, std::string("last week's ") + name + "\n");
  }
  const auto before = s.files();

  for (const AtPrompt& at : kPrompts) {
    SCOPED_TRACE(std::string("console: ") + at.console);
    Outcome r = s.run({}, at.console);
    EXPECT_EQ(r.status, 0);
    const std::string tail = std::string(at.prompt) + kEnd;
    ASSERT_GE(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
    EXPECT_EQ(s.files(), before);
  }
}

}  // namespace
}  // namespace e2e
