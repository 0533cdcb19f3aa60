// kinroll-book end to end: the example ward's booklet read back with
// poppler-utils and qpdf (every family of the phone book on one page, in its
// order, with its content; the fonts embedded; A4 or Letter; booklet
// sheets), the same bytes from run to run, Latin-1 names and long lines, and
// every kind of trouble with its message and exit status 2. The PDF checks
// are skipped where the tools are missing.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/harness.h"
#include "tools/utf8.h"

namespace {

namespace fs = std::filesystem;
using e2e::Outcome;
using e2e::Scratch;
using e2e::ScopedEnv;

constexpr const char* kStamp = "1713052800";  // 14 Apr 2024 00:00 UTC
const std::string kName = "kinroll-book: ";
const std::string kUsage =
    "Usage: kinroll-book [-u unit] [--paper a4|letter] [--booklet] [--pdf FILE] [FOLDER]";
const std::string kTryHelp = "Try 'kinroll-book --help' for more information.\n";

/// Standard output of the shell command `command`, and its exit status in
/// `*status`.
std::string shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  int raw = pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

/// True when poppler-utils and qpdf are installed.
bool have_pdf_tools() {
  int status = 0;
  shell("command -v pdfinfo && command -v pdftotext && command -v pdffonts && command -v qpdf",
        &status);
  return status == 0;
}

/// The fields of `pdfinfo PDF`, by name.
std::map<std::string, std::string> pdf_info(const std::string& pdf) {
  std::map<std::string, std::string> info;
  std::istringstream lines(shell("pdfinfo '" + pdf + "'"));
  for (std::string line; std::getline(lines, line);) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    size_t value = line.find_first_not_of(' ', colon + 1);
    info[line.substr(0, colon)] = value == std::string::npos ? "" : line.substr(value);
  }
  return info;
}

/// The text of each page of `pdf`, from 1 (index 0 empty), in the order it
/// was drawn (pdftotext -raw).
std::vector<std::string> page_texts(const std::string& pdf) {
  int pages = std::stoi(pdf_info(pdf)["Pages"]);
  std::vector<std::string> texts(1);
  for (int p = 1; p <= pages; ++p) {
    std::string n = std::to_string(p);
    texts.push_back(shell("pdftotext -raw -f " + n + " -l " + n + " '" + pdf + "' -"));
  }
  return texts;
}

/// The phone book's entries of the example ward (option 227 of kinroll):
/// each entry's lines, without their leading blanks, in UTF-8.
std::vector<std::vector<std::string>> phone_book(const Scratch& s) {
  fs::copy_file(s.dir() / "ward/mis231.txt", s.dir() / "mis231.txt");
  Outcome r = s.run_binary(KINROLL_BINARY, {}, "201\n\n227\n\nq\n");
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<std::vector<std::string>> entries;
  std::istringstream lines(s.read("wardpbk.txt"));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) {
      entries.emplace_back();
    } else {
      entries.back().push_back(utf8_from_latin1(line.substr(line.find_first_not_of(' '))));
    }
  }
  return entries;
}

/// A scratch folder with the example ward's printouts in "ward", the
/// test's stamp and A4 as the system's paper.
class Book : public testing::Test {
 protected:
  Book()
      : stamp_("SOURCE_DATE_EPOCH", kStamp),
        papersize_("PAPERSIZE", std::nullopt),
        paperconf_("PAPERCONF", s_.path("papersize")) {
    s_.use_program(KINROLL_BOOK_BINARY);
    s_.write("papersize", "a4\n");
    fs::create_directory(s_.dir() / "ward");
    for (const char* name : {"mis231.txt", "mis232.txt", "mis239.txt", "mis121.txt",
                             "wardorgs.txt"}) {
      fs::copy_file(fs::path(KINROLL_EXAMPLES) / name, s_.dir() / "ward" / name);
    }
  }

  Outcome run(std::vector<std::string> args) { return s_.run(args, ""); }

  Scratch s_;
  ScopedEnv stamp_;
  ScopedEnv papersize_;
  ScopedEnv paperconf_;
};

TEST_F(Book, ExampleWardHoldsThePhoneBookFamilyByFamilyInItsOrder) {
  Outcome r = run({"ward"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kName + "12 households, 3 pages (a4) to ward/wardbook.pdf\n");
  if (!have_pdf_tools()) GTEST_SKIP() << "poppler-utils or qpdf is missing";
  std::string pdf = s_.path("ward/wardbook.pdf");

  int status = -1;
  shell("qpdf --check '" + pdf + "' >/dev/null 2>&1", &status);
  EXPECT_EQ(status, 0) << "qpdf --check";
  // Every font is embedded (as a subset), DejaVu Sans among them. The
  // columns of pdffonts are as wide as the dashes of its rule line.
  std::istringstream fonts(shell("pdffonts '" + pdf + "'"));
  std::string heading, rule, line;
  std::getline(fonts, heading);
  std::getline(fonts, rule);
  std::vector<size_t> starts;  // of each column
  for (size_t i = 0; i < rule.size(); ++i) {
    if (rule[i] == '-' && (i == 0 || rule[i - 1] == ' ')) starts.push_back(i);
  }
  ASSERT_GE(starts.size(), 6u) << rule;
  int font_count = 0;
  bool dejavu = false;
  while (std::getline(fonts, line)) {
    EXPECT_EQ(line.substr(starts[3], 3), "yes") << line;  // emb
    EXPECT_EQ(line.substr(starts[4], 3), "yes") << line;  // sub
    dejavu = dejavu || line.find("+DejaVuSans") != std::string::npos;
    ++font_count;
  }
  EXPECT_GE(font_count, 2);  // regular and bold at least
  EXPECT_TRUE(dejavu);

  std::map<std::string, std::string> info = pdf_info(pdf);
  EXPECT_EQ(info["Pages"], "3");
  EXPECT_EQ(info["Page size"], "595.276 x 841.89 pts (A4)");
  EXPECT_EQ(info["Title"], "Alder Springs 2nd Ward \u2013 Ward Directory");
  EXPECT_EQ(info["CreationDate"], "Sun Apr 14 00:00:00 2024 UTC");

  std::vector<std::string> pages = page_texts(pdf);
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[1],
            "Alder Springs 2nd Ward\nWard Directory\nApril 2024\n12 households, 35 members\n"
            "For ward members only\n\f");
  // Each entry's lines, as the phone book has them, together on one page,
  // and the entries in the phone book's order.
  std::vector<std::vector<std::string>> entries = phone_book(s_);
  ASSERT_EQ(entries.size(), 13u);
  size_t page = 1;
  size_t at = 0;
  for (const auto& entry : entries) {
    std::string text;
    for (const std::string& l : entry) text += l + "\n";
    size_t found = pages[page].find(text, at);
    if (found == std::string::npos) {
      ++page;
      found = page < pages.size() ? pages[page].find(text) : std::string::npos;
    }
    ASSERT_NE(found, std::string::npos) << "not on page " << page << " or before:\n" << text;
    at = found + text.size();
  }
  for (size_t p = 2; p <= 3; ++p) {
    EXPECT_NE(pages[p].find("Alder Springs 2nd Ward page " + std::to_string(p) + " of 3\n"),
              std::string::npos)
        << pages[p];
  }
  EXPECT_NE(pages[2].find("A \u2013 Y\n"), std::string::npos) << pages[2];
  EXPECT_NE(pages[3].find("Ward Positions\nBishopric\nBishop\n"
                          "FAIRBANKS, Curtis, sustained 12 Jan 20\n"),
            std::string::npos)
      << pages[3];
  EXPECT_NE(pages[3].find("Assistant Ward Clerk\nvacant\n"), std::string::npos);
}

TEST_F(Book, TheSameBytesFromRunToRunAndTheDatesFromTheStamp) {
  ASSERT_EQ(run({"--pdf", "a.pdf", "ward"}).status, 0);
  ASSERT_EQ(run({"--pdf", "b.pdf", "ward"}).status, 0);
  EXPECT_EQ(s_.read("a.pdf"), s_.read("b.pdf"));
  EXPECT_TRUE(s_.read("a.pdf").starts_with("%PDF-"));
  {
    ScopedEnv later("SOURCE_DATE_EPOCH", "1717200000");  // 1 Jun 2024
    ASSERT_EQ(run({"--pdf", "c.pdf", "ward"}).status, 0);
  }
  EXPECT_NE(s_.read("c.pdf"), s_.read("a.pdf"));
  // Standard output gets the very bytes.
  Outcome r = run({"--pdf", "-", "ward"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, s_.read("a.pdf"));
  EXPECT_EQ(r.err, kName + "12 households, 3 pages (a4) to standard output\n");
  if (!have_pdf_tools()) GTEST_SKIP() << "poppler-utils or qpdf is missing";
  EXPECT_EQ(pdf_info(s_.path("c.pdf"))["ModDate"], "Sat Jun  1 00:00:00 2024 UTC");
}

TEST_F(Book, PaperAsAskedElseTheSystemsAndBookletSheets) {
  struct Case {
    std::vector<std::string> args;
    const char* system;  ///< the papersize file
    const char* size;    ///< pdfinfo's page size
    const char* pages;
    const char* summary;
  } cases[] = {
      {{"--paper", "letter"}, "a4\n", "612 x 792 pts (letter)", "3", "3 pages (letter)"},
      {{}, "letter\n", "612 x 792 pts (letter)", "3", "3 pages (letter)"},
      {{"--paper=A4"}, "letter\n", "595.276 x 841.89 pts (A4)", "3", "3 pages (a4)"},
      {{}, "# a comment\nfoolscap\n", "595.276 x 841.89 pts (A4)", "3", "3 pages (a4)"},
      {{"--booklet"}, "a4\n", "841.89 x 595.276 pts (A4)", "2", "4 pages on 1 sheet (a4)"},
      {{"--booklet", "--paper", "letter"}, "a4\n", "792 x 612 pts (letter)", "2",
       "4 pages on 1 sheet (letter)"},
  };
  bool tools = have_pdf_tools();
  for (const Case& c : cases) {
    s_.write("papersize", c.system);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--pdf", "p.pdf", "ward"});
    Outcome r = run(args);
    std::string line;
    for (const auto& a : args) line += "[" + a + "]";
    ASSERT_EQ(r.status, 0) << line << r.err;
    EXPECT_EQ(r.err, kName + "12 households, " + c.summary + " to p.pdf\n") << line;
    if (!tools) continue;
    std::map<std::string, std::string> info = pdf_info(s_.path("p.pdf"));
    EXPECT_EQ(info["Page size"], c.size) << line;
    EXPECT_EQ(info["Pages"], c.pages) << line;
  }
  if (!tools) GTEST_SKIP() << "poppler-utils or qpdf is missing";

  // A sheet holds the last page (blank) and the cover, its back pages 2
  // and 3: folded, they read 1, 2, 3, 4.
  ASSERT_EQ(run({"--booklet", "--pdf", "p.pdf", "ward"}).status, 0);
  std::vector<std::string> sides = page_texts(s_.path("p.pdf"));
  EXPECT_TRUE(sides[1].starts_with("Alder Springs 2nd Ward\nWard Directory\n")) << sides[1];
  size_t two = sides[2].find("page 2 of 3");
  size_t three = sides[2].find("page 3 of 3");
  EXPECT_NE(two, std::string::npos);
  EXPECT_NE(three, std::string::npos);
  EXPECT_LT(two, three);
}

TEST_F(Book, ALargerWardMakesABookletOfWholeSheetsInFoldedOrder) {
  // 150 families of the example's first, each under a name of its own and
  // with a phone of its own, the initials running from A to Y.
  std::string printout = s_.read("ward/mis231.txt");
  size_t start = printout.find("ABERNATHY");
  size_t end = printout.find("BRANDVOLD");
  std::string family = printout.substr(start, end - start);
  std::string ward = printout.substr(0, start);
  std::vector<std::string> names;
  for (int i = 0; i < 150; ++i) {
    std::string name = std::string(1, static_cast<char>('A' + i / 6)) + "BERNAT" +
                       static_cast<char>('A' + i / 26 % 26) + static_cast<char>('A' + i % 26);
    char phone[16];
    std::snprintf(phone, sizeof phone, "555-%04d", i);
    std::string f = family;
    f.replace(f.find("ABERNATHY"), 9, name);
    f.replace(f.find("555-0142"), 8, phone);
    ward += f;
    names.push_back(name);
  }
  fs::create_directory(s_.dir() / "big");
  s_.write("big/mis231.txt", ward);
  Outcome r = run({"--booklet", "big"});
  ASSERT_EQ(r.status, 0) << r.err;
  if (!have_pdf_tools()) GTEST_SKIP() << "poppler-utils or qpdf is missing";
  std::map<std::string, std::string> info = pdf_info(s_.path("big/wardbook.pdf"));
  int sides = std::stoi(info["Pages"]);
  EXPECT_EQ(sides * 2 % 4, 0);
  EXPECT_EQ(info["Page size"], "841.89 x 595.276 pts (A4)");
  std::vector<std::string> texts = page_texts(s_.path("big/wardbook.pdf"));
  // The pages' numbers, side by side: the two on a side add up to the
  // number of pages and one.
  int n = sides * 2;
  size_t of = texts[2].find(" of ");
  ASSERT_NE(of, std::string::npos) << texts[2];
  int total = std::stoi(texts[2].substr(of + 4));
  for (int k = 1; k <= sides; ++k) {
    std::vector<int> numbers;
    for (size_t at = texts[k].find("page "); at != std::string::npos;
         at = texts[k].find("page ", at + 1)) {
      numbers.push_back(std::stoi(texts[k].substr(at + 5)));
    }
    int outer = n - (k - 1), inner = k;  // front of a sheet: last and first pages
    std::vector<int> expected = k % 2 == 1 ? std::vector<int>{outer, inner}
                                           : std::vector<int>{inner, outer};
    std::erase_if(expected, [&](int p) { return p == 1 || p > total; });  // cover, blanks
    EXPECT_EQ(numbers, expected) << "side " << k;
  }
  EXPECT_GT(n - total, 0);  // blank pages were added
  EXPECT_LT(n - total, 4);
  // Every family is there, whole on one side.
  for (const std::string& name : names) {
    int on = 0;
    for (int k = 1; k <= sides; ++k) {
      size_t at = texts[k].find(name + ", Gordon & Linda\nSarah, Peter\n");
      if (at != std::string::npos) ++on;
    }
    EXPECT_EQ(on, 1) << name;
  }
}

TEST_F(Book, Latin1NamesInUtf8AndLongLinesWrappedNotCut) {
  fs::create_directory(s_.dir() / "odd");
  fs::copy_file(fs::path(KINROLL_TESTDATA) / "contacts/tricky/mis231.txt",
                s_.dir() / "odd/mis231.txt");
  Outcome r = run({"odd"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, kName + "5 households, 2 pages (a4) to odd/wardbook.pdf\n");
  // A unit typed in Latin-1.
  r = run({"-uSaint-R\xe9my Ward", "--pdf", "remy.pdf", "odd"});
  ASSERT_EQ(r.status, 0) << r.err;
  if (!have_pdf_tools()) GTEST_SKIP() << "poppler-utils or qpdf is missing";
  std::string text = shell("pdftotext -raw '" + s_.path("odd/wardbook.pdf") + "' -");
  for (const char* name : {"Odd Names Ward\n", "M\xc3\x9cLLER, Jos\xc3\xa9 & Zo\xc3\xab; Ann\n",
                           "P\xc3\x89REZ, Ana\n", "Saint-R\xc3\xa9my, UT 84001\n"}) {
    EXPECT_NE(text.find(name), std::string::npos) << name;
  }
  // The longest names wrap within their column: every word is there.
  std::string words;
  for (char c : text) words += c == '\n' ? ' ' : c;
  for (const char* part : {"VANDERSCHOOTEN-H\xc3\x85KANSSON, Bartholomew Alexander & "
                           "Maximiliana Katharina",
                           "4100 West Thousand Oaks Boulevard Ste 9"}) {
    EXPECT_NE(words.find(part), std::string::npos) << part << "\n" << text;
  }
  EXPECT_NE(shell("pdftotext -raw '" + s_.path("remy.pdf") + "' -").find("Saint-R\xc3\xa9my Ward"),
            std::string::npos);
}

TEST_F(Book, OptionsAndRefusedInputs) {
  fs::create_directory(s_.dir() / "wrong");
  fs::copy_file(fs::path(KINROLL_EXAMPLES) / "mis1313.txt", s_.dir() / "wrong/mis231.txt");
  fs::create_directory(s_.dir() / "empty");
  fs::create_directory(s_.dir() / "folder121");
  fs::copy_file(s_.dir() / "ward/mis231.txt", s_.dir() / "folder121/mis231.txt");
  fs::create_directory(s_.dir() / "folder121/mis121.txt");
  s_.write("afile", "not a folder\n");
  e2e::check_option_table(
      s_, KINROLL_BOOK_BINARY,
      {
          {{"--help"}, "", 0, kUsage, ""},
          {{"-h"}, "", 0, kUsage, ""},
          {{"--version", "ward"}, "", 0, e2e::version_line("kinroll-book"), ""},
          {{"--csv", "x", "ward"}, "", 2, "", kName + "unknown option --csv\n" + kTryHelp},
          {{"ward", "--paper"}, "", 2, "", kName + "option --paper needs a value\n" + kTryHelp},
          {{"--paper", "a3", "ward"}, "", 2, "",
           kName + "unknown paper a3 (a4 or letter)\n" + kTryHelp},
          {{"--booklet=yes", "ward"}, "", 2, "",
           kName + "option --booklet takes no value\n" + kTryHelp},
          {{"ward", "ward"}, "", 2, "", kName + "more than one folder named\n" + kTryHelp},
          {{"--pdf", "", "ward"}, "", 2, "", kName + "an output file needs a name\n" + kTryHelp},
          {{"afile"}, "", 2, "", kName + "afile is not a folder\n"},
          {{"missing"}, "", 2, "", kName + "missing is not a folder\n"},
          {{"empty"}, "", 2, "",
           kName + "cannot read empty/mis231.txt: No such file or directory\n"},
          {{"wrong"}, "", 2, "", kName + "wrong/mis231.txt: not a directory of members printout\n"},
          {{"folder121"}, "", 2, "", kName + "cannot read folder121/mis121.txt: it is a folder\n"},
          {{"--pdf", "ward/mis231.txt", "ward"}, "", 2, "",
           kName + "--pdf ward/mis231.txt would overwrite the directory printout "
                   "ward/mis231.txt\n"},
          {{"--pdf", "./ward/wardorgs.txt", "ward"}, "", 2, "",
           kName + "--pdf ./ward/wardorgs.txt would overwrite the organisation table "
                   "ward/wardorgs.txt\n"},
          {{"--pdf", "nowhere/b.pdf", "ward"}, "", 2, "",
           kName + "cannot write nowhere/b.pdf: No such file or directory\n"},
      });
  for (const char* out : {"wardbook.pdf", "ward/wardbook.pdf", "wrong/wardbook.pdf",
                          "empty/wardbook.pdf", "folder121/wardbook.pdf"}) {
    EXPECT_FALSE(s_.exists(out)) << out;
  }
  {
    ScopedEnv epoch("SOURCE_DATE_EPOCH", "12ab");
    Outcome r = run({"ward"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, kName + "SOURCE_DATE_EPOCH is not a number of seconds: 12ab\n");
    EXPECT_FALSE(s_.exists("ward/wardbook.pdf"));
  }

  // The current folder by default; the old file replaced whole.
  for (const auto& e : fs::directory_iterator(s_.dir() / "ward")) {
    fs::copy_file(e.path(), s_.dir() / e.path().filename(), fs::copy_options::overwrite_existing);
  }
  s_.write("wardbook.pdf", "last month's booklet\n");
  Outcome r = run({});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, kName + "12 households, 3 pages (a4) to ./wardbook.pdf\n");
  EXPECT_TRUE(s_.read("wardbook.pdf").starts_with("%PDF-"));

  // A write that fails part-way keeps the old file.
  s_.write("wardbook.pdf", "last month's booklet\n");
  r = s_.run({}, "", 2000);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "Error writing ./wardbook.pdf\n");
  EXPECT_EQ(s_.read("wardbook.pdf"), "last month's booklet\n");
}

}  // namespace
