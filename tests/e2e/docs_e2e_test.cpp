// The documents against the programs: docs/outputs.md names every file the
// programs write on the example ward and every column of their CSV files,
// and the first-hour session of README.md is what the program shows.

#include <algorithm>
#include <regex>
#include <set>
#include <vector>

#include "e2e/harness.h"

namespace e2e {
namespace {

const fs::path kTop = fs::path(KINROLL_EXAMPLES).parent_path();

std::string read_source(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "missing " << path;
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

/// Copies the example ward (printouts and configuration files) into `s`.
void copy_example_ward(const Scratch& s) {
  for (const auto& e : fs::directory_iterator(KINROLL_EXAMPLES)) {
    if (e.is_regular_file() && e.path().extension() == ".txt") {
      fs::copy_file(e.path(), s.dir() / e.path().filename(), fs::copy_options::overwrite_existing);
    }
  }
}

/// Runs `run` in `s` and returns, by path, the files it made.
template <class Run>
std::set<std::string> files_made(const Scratch& s, Run run) {
  auto before = s.files();
  run();
  std::set<std::string> made;
  for (const auto& [name, bytes] : s.files()) {
    if (before.count(name) == 0) made.insert(name);
  }
  return made;
}

/// Checks that `doc` names each file of `made` (a file in a folder by its
/// path or, as one of many, by its folder) and, in backquotes, each column
/// of each CSV file's header row.
void check_named(const std::string& doc, const Scratch& s, const std::set<std::string>& made) {
  for (const std::string& name : made) {
    fs::path p(name);
    bool named = doc.find("`" + name + "`") != std::string::npos;
    if (!named && p.has_parent_path()) {
      named = doc.find("`" + p.parent_path().string() + "/") != std::string::npos;
    }
    EXPECT_TRUE(named) << name << " is not in docs/outputs.md";
    if (p.extension() != ".csv") continue;
    std::string text = s.read(name);
    std::string header = text.substr(0, text.find('\n'));
    ASSERT_FALSE(header.empty()) << name;
    std::stringstream columns(header);
    std::string column;
    while (std::getline(columns, column, ',')) {
      EXPECT_NE(doc.find("`" + column + "`"), std::string::npos)
          << name << ": column " << column << " is not in docs/outputs.md";
    }
  }
}

TEST(Docs, OutputsNamesEveryFileAndColumnOfTheBatch) {
  const std::string doc = read_source(kTop / "docs/outputs.md");
  Scratch s;
  copy_example_ward(s);
  std::set<std::string> made = files_made(s, [&] { ASSERT_EQ(s.run({"-c"}, "").status, 0); });
  // Every group of the batch wrote its files.
  for (const char* name : {"wardfam.csv", "wardhtvt.csv", "wardpos.csv", "warderr.txt",
                           "vtlist.txt"}) {
    EXPECT_EQ(made.count(name), 1u) << name;
  }
  check_named(doc, s, made);
}

TEST(Docs, OutputsNamesEveryFileOfTheMenuAndTheCompanions) {
  const std::string doc = read_source(kTop / "docs/outputs.md");
  Scratch s;
  copy_example_ward(s);
  for (const char* dir : {"webin", "stakein", "stakedoc"}) fs::create_directory(s.dir() / dir);
  // Every option that writes a file, each taking its default name.
  const std::string session =
      "201\n\n202\n\n209\n\n301\n\n401\n\n101\n\n"
      "210\n\n212\n\n215\n\n220\n\n225\n\n227\n\n230\n\n240\n\n290\n\n22\n\n9\n\n"
      "310\n\n312\n\n314\n\n320\n\n410\n\n412\n\n420\n\n110\n\n120\n\n130\n\n"
      "701\n\n720\n\n730\n\n\n790\n\n\ny\n\ny\n\nq\n";
  std::set<std::string> made = files_made(s, [&] { ASSERT_EQ(s.run({}, session).status, 0); });
  for (const char* name : {"warddir.txt", "wardsave.txt", "smis.csv", "stakedoc/alpha.txt",
                           "webin/bish.html", "stakein/stakepos.html"}) {
    EXPECT_EQ(made.count(name), 1u) << name;
  }
  check_named(doc, s, made);

  fs::create_directory(s.dir() / "next-month");
  fs::copy_file(fs::path(KINROLL_EXAMPLES) / "next-month/mis231.txt",
                s.dir() / "next-month/mis231.txt");
  made = files_made(s, [&] {
    Outcome r = s.run_binary(KINROLL_CHANGES_BINARY,
                             {"--csv", "changes.csv", "mis231.txt", "next-month"}, "");
    EXPECT_EQ(r.status, 1) << r.err;  // changes found
  });
  EXPECT_EQ(made, std::set<std::string>{"changes.csv"});
  check_named(doc, s, made);
#ifdef KINROLL_CONTACTS_BINARY
  made = files_made(s, [&] {
    EXPECT_EQ(s.run_binary(KINROLL_CONTACTS_BINARY, {"--key", "contacts.key", "."}, "").status, 0);
  });
  EXPECT_EQ(made.size(), 3u);
  check_named(doc, s, made);
#endif
}

/// The lines of `text`, trailing blanks removed.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    line.erase(line.find_last_not_of(" \t") + 1);
    lines.push_back(line);
  }
  return lines;
}

/// The first fenced block after the line `heading` of `markdown`.
std::vector<std::string> block_after(const std::string& markdown, const std::string& heading) {
  std::vector<std::string> lines = lines_of(markdown);
  auto at = std::find(lines.begin(), lines.end(), heading);
  if (at == lines.end()) return {};
  auto open = std::find(at, lines.end(), "```");
  if (open == lines.end()) return {};
  auto close = std::find(open + 1, lines.end(), "```");
  return {open + 1, close};
}

/// What a terminal shows of a session: `out` with each answer of `answers`
/// after the prompt it answers, as the terminal echoes it. Every read of
/// the program follows a prompt; the number of prompts goes to `*prompts`.
std::string screen(const std::string& out, const std::vector<std::string>& answers,
                   size_t* prompts) {
  static const std::regex kPrompt(R"(Enter [^\n:]*: |Press ENTER to continue: |\(y or n\): )");
  std::string shown;
  size_t at = 0;
  *prompts = 0;
  for (std::sregex_iterator it(out.begin(), out.end(), kPrompt), end; it != end; ++it) {
    size_t after = static_cast<size_t>(it->position() + it->length());
    shown += out.substr(at, after - at);
    if (*prompts < answers.size()) shown += answers[*prompts];
    shown += "\n";
    ++*prompts;
    at = after;
  }
  return shown + out.substr(at);
}

// The session of README.md's "A first hour", typed in a copy of the example
// ward, shows its lines in its order: lines next to each other in the README
// are next to each other on the screen, and a "..." line stands for any
// number of lines.
TEST(Docs, ReadmeFirstHourIsWhatTheProgramShows) {
  std::vector<std::string> session = block_after(read_source(kTop / "README.md"), "## A first hour");
  ASSERT_GE(session.size(), 3u) << "no session under \"## A first hour\" in README.md";
  ASSERT_EQ(session[0].rfind("$ kinroll", 0), 0u) << session[0];
  std::vector<std::string> args;
  std::stringstream words(session[0].substr(9));
  for (std::string w; words >> w;) args.push_back(w);

  // The answers typed, each after its prompt.
  static const std::regex kTyped(R"((Enter [^:]*:) ?(.*))");
  std::vector<std::string> answers;
  std::string console;
  for (const std::string& line : session) {
    std::smatch m;
    if (std::regex_match(line, m, kTyped)) {
      answers.push_back(m[2]);
      console += m[2].str() + "\n";
    }
  }

  Scratch s;
  copy_example_ward(s);
  Outcome r = s.run(args, console);
  ASSERT_EQ(r.status, 0) << r.err;
  size_t prompts = 0;
  std::vector<std::string> shown = lines_of(screen(r.out, answers, &prompts));
  EXPECT_EQ(prompts, answers.size()) << "the session's answers do not match the program's prompts";

  // Each run of lines between "..." lines is found whole, after the last;
  // without a "..." first, the session begins with the screen.
  auto from = shown.begin();
  bool gap = false;
  std::vector<std::string> run;
  auto find_run = [&] {
    if (run.empty()) return;
    auto it = gap ? std::search(from, shown.end(), run.begin(), run.end())
                  : (std::equal(run.begin(), run.end(), from, shown.end()) ? from : shown.end());
    ASSERT_TRUE(it != shown.end()) << "not on the screen" << (gap ? "" : " at once") << ":\n"
                               << run.front() << "\n...\nThe screen:\n"
                               << screen(r.out, answers, &prompts);
    from = it + static_cast<std::ptrdiff_t>(run.size());
    run.clear();
  };
  for (size_t i = 1; i < session.size(); ++i) {
    if (session[i] == "...") {
      find_run();
      gap = true;
    } else {
      run.push_back(session[i]);
    }
  }
  find_run();
  if (session.back() != "...") {
    EXPECT_EQ(from, shown.end()) << "the screen goes on after the session";
  }
  EXPECT_TRUE(s.exists("wardph.txt"));
}

}  // namespace
}  // namespace e2e
