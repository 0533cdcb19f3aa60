// The converters of examples/ as the batch production hands its documents
// to them: the handheld e-book decodes back to the very bytes of its text,
// and the HTML page holds every line, escaped, with an anchor per bookmark.

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "e2e/harness.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const char* const kDocuments[] = {"wardph", "wardfull", "wardpriv", "wardzip", "wardht",
                                  "htdist", "htlist", "wardvt", "vtdist", "vtlist", "wardpos"};

void write_batch_ward(const Scratch& s) {
  for (const char* name : {"mis231.txt", "mis232.txt", "mis239.txt", "mis121.txt", "wardorgs.txt"}) {
    s.write(name, data(std::string("batch/") + name));
  }
  s.write("mis1313.txt", data("teach/mis1313.txt"));
  s.write("mis1413.txt", data("teach/mis1413.txt"));
}

std::string converter(const char* name) {
  return (fs::path(KINROLL_EXAMPLES) / name).string();
}

bool have(const char* command) {
  return std::system(("command -v " + std::string(command) + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::string escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

TEST(Converters, HandheldEbooksDecodeToTheirText) {
  if (!have("txt2pdbdoc")) GTEST_SKIP() << "txt2pdbdoc is not installed";
  Scratch s;
  write_batch_ward(s);
  Outcome r = s.run({"-c", "-i", converter("convert-pdb.sh")}, "");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* doc : kDocuments) {
    std::string base = s.path(doc);
    ASSERT_TRUE(s.exists(std::string(doc) + ".pdb")) << doc;
    std::string cmd = "txt2pdbdoc -d '" + base + ".pdb' '" + base + ".back' >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << doc;
    EXPECT_EQ(s.read(std::string(doc) + ".back"), s.read(std::string(doc) + ".txt")) << doc;
  }
}

TEST(Converters, HtmlPagesHoldEveryLineAndAnAnchorPerBookmark) {
  Scratch s;
  write_batch_ward(s);
  const std::string unit = "St. Mary's & \"Joe\"";
  Outcome r = s.run({"-c", "-u", unit, "-i", converter("convert-html.sh")}, "");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* doc : kDocuments) {
    SCOPED_TRACE(doc);
    std::string text = s.read(std::string(doc) + ".txt");
    std::string html = s.read(std::string(doc) + ".html");
    ASSERT_FALSE(html.empty());
    std::vector<std::string> lines = lines_of(text);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(html.find("<title>" + escaped(unit) + " "), std::string::npos);
    // The title line, then the body: bookmark lines become anchored
    // headings listed in the contents, the others stay as they are.
    size_t first = lines[0].rfind("**", 0) == 0 ? 1 : 0;
    if (first == 1) {
      EXPECT_NE(html.find(escaped(lines[0].substr(2))), std::string::npos);
    }
    int bookmark = 0;
    for (size_t i = first; i + 1 < lines.size(); ++i) {
      const std::string& line = lines[i];
      if (!line.empty() && line[0] == '*') {
        ++bookmark;
        std::string id = "b" + std::to_string(bookmark);
        std::string shown = line.size() > 1 ? escaped(line.substr(1)) : "(blank)";
        EXPECT_NE(html.find("<li><a href=\"#" + id + "\">" + shown + "</a></li>"),
                  std::string::npos) << line;
        EXPECT_NE(html.find("<h2 id=\"" + id + "\">" + shown + "</h2>"), std::string::npos)
            << line;
      } else {
        EXPECT_NE(html.find(escaped(line) + "\n"), std::string::npos) << line;
      }
    }
    EXPECT_EQ(lines.back(), "<*>");
    EXPECT_EQ(html.find("<*>"), std::string::npos);  // the trailer is no body line
    EXPECT_EQ(html.find("id=\"b" + std::to_string(bookmark + 1) + "\""), std::string::npos);
  }
}

TEST(Converters, MissingTextIsAnErrorOfBoth) {
  Scratch s;
  for (const char* conv : {"convert-pdb.sh", "convert-html.sh"}) {
    std::string cmd = "cd '" + s.dir().string() + "' && '" + converter(conv) +
                      "' nothere 'Ward Phone List' 2>err.txt";
    int status = std::system(cmd.c_str());
    EXPECT_NE(status, 0) << conv;
    EXPECT_NE(s.read("err.txt").find("nothere.txt: no such file"), std::string::npos) << conv;
  }
}

}  // namespace
}  // namespace e2e
