// Texts of the contact files: vCard escapes, and content lines folded at 75
// octets without splitting a character or an escape, libical's lines included.

#include "contacts/vtext.h"

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <string>
#include <vector>

#include "support/capture.h"
#include "tools/utf8.h"

namespace {

TEST(VcardEscape, BackslashCommaNewlineAlwaysSemicolonInComponents) {
  EXPECT_EQ(escape_vcard_text("a\\b,c;d\ne", false), "a\\\\b\\,c;d\\ne");
  EXPECT_EQ(escape_vcard_text("a\\b,c;d\ne", true), "a\\\\b\\,c\\;d\\ne");
  EXPECT_EQ(escape_vcard_text("Mary \"Molly\" O'Hara", true), "Mary \"Molly\" O'Hara");
}

/// The physical lines of `text`, which must end in CR LF.
std::vector<std::string> physical_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find("\r\n", at);
    EXPECT_NE(end, std::string::npos) << "line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::string folded(const std::string& line) {
  return testsupport::capture([&](FILE* fp) { write_content_line(fp, line); });
}

TEST(ContentLine, SeventyFiveOctetsStayOnOneLine) {
  std::string line = "FN:" + std::string(72, 'x');
  EXPECT_EQ(folded(line), line + "\r\n");
  std::string longer = line + "y";
  EXPECT_EQ(folded(longer), line + "\r\n y\r\n");
}

TEST(ContentLine, NoFoldInsideACharacter) {
  // 74 octets, then a two-byte character that would straddle octet 75: the
  // fold goes before it.
  std::string line = std::string(74, 'a') + "\xc3\xa9" + "z";
  EXPECT_EQ(folded(line), std::string(74, 'a') + "\r\n \xc3\xa9z\r\n");
  // A four-byte character whose last octet would be the 76th.
  std::string wide = std::string(72, 'b') + "\xf0\x9f\x8e\x82";
  EXPECT_EQ(folded(wide), std::string(72, 'b') + "\r\n \xf0\x9f\x8e\x82\r\n");
}

TEST(ContentLine, LongAccentedLinesUnfoldToTheOriginal) {
  for (size_t lead = 0; lead < 6; ++lead) {
    std::string line = "SUMMARY:" + std::string(lead, 'q');
    for (int i = 0; i < 90; ++i) line += i % 3 == 0 ? "\xe2\x82\xac" : "\xc3\xa9";
    std::string out = folded(line);
    std::string unfolded;
    std::vector<std::string> lines = physical_lines(out);
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_LE(lines[i].size(), 75u);
      EXPECT_TRUE(is_utf8(lines[i])) << "line " << i << " splits a character";
      if (i > 0) {
        ASSERT_EQ(lines[i][0], ' ');
        unfolded += lines[i].substr(1);
      } else {
        unfolded += lines[i];
      }
    }
    EXPECT_EQ(unfolded, line);
  }
}

/// The logical line that `out` (one content line as written) unfolds to,
/// after checking each physical line: CR LF at its end and no CR or LF
/// within, at most 75 octets, whole UTF-8 characters, a continuation that
/// starts with a space, and no fold right after a backslash that escapes.
std::string unfold_checked(const std::string& out) {
  EXPECT_TRUE(out.ends_with("\r\n")) << out;
  std::string logical;
  std::vector<std::string> lines = physical_lines(out);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view part = lines[i];
    EXPECT_EQ(part.find_first_of("\r\n"), std::string_view::npos) << "line " << i;
    EXPECT_LE(part.size(), kFoldOctets) << "line " << i;
    if (i > 0) {
      EXPECT_TRUE(part.starts_with(' ')) << "line " << i;
      part.remove_prefix(1);
      size_t run = 0;  // backslashes just before the fold
      while (run < logical.size() && logical[logical.size() - 1 - run] == '\\') ++run;
      EXPECT_EQ(run % 2, 0u) << "line " << i << " splits an escape";
    }
    EXPECT_TRUE(is_utf8(part)) << "line " << i << " splits a character";
    logical += part;
  }
  return logical;
}

/// The text value `escaped` without its escapes; "\n" and "\N" are line feeds.
std::string unescape(std::string_view escaped) {
  std::string out;
  for (size_t i = 0; i < escaped.size(); ++i) {
    char c = escaped[i];
    if (c == '\\' && i + 1 < escaped.size()) {
      c = escaped[++i];
      if (c == 'n' || c == 'N') c = '\n';
    }
    out += c;
  }
  return out;
}

TEST(ContentLine, NamesOfEscapedCharactersOfEveryLengthFoldCleanlyAndReadBack) {
  // Commas and backslashes alone double in length; Latin-1 letters take two
  // octets; the mixes put every kind of character at every fold, the first
  // without the semicolons and spaces that libical likes to fold after.
  const std::vector<std::vector<std::string>> alphabets = {
      {","}, {"\\"}, {";"}, {"\n"}, {"\xc3\xa9"},
      {",", "\\", "\n", "\xc3\xa9", "X"},
      {",", ";", "\\", "\n", "\xc3\xa9", "X", "\xc3\x9c"}};
  for (const auto& alphabet : alphabets) {
    for (size_t length = 1; length <= 200; ++length) {
      std::string name;
      for (size_t i = 0; i < length; ++i) name += alphabet[(i + i / 3 + length) % alphabet.size()];
      SCOPED_TRACE(testing::Message() << "name of " << length << " from " << alphabet[0]);

      // The card's lines, escaped and folded here.
      std::string fn = unfold_checked(folded("FN:" + escape_vcard_text(name, false)));
      ASSERT_TRUE(fn.starts_with("FN:"));
      EXPECT_EQ(unescape(fn.substr(3)), name);
      std::string n = unfold_checked(folded("N:" + escape_vcard_text(name, true) + ";;;;"));
      ASSERT_TRUE(n.starts_with("N:") && n.ends_with(";;;;"));
      EXPECT_EQ(unescape(n.substr(2, n.size() - 6)), name);

      // The event's line, escaped and folded by libical, folded anew here.
      icalproperty* prop = icalproperty_new_summary(("Birthday: " + name).c_str());
      char* text = icalproperty_as_ical_string_r(prop);
      std::string summary = unfold_checked(
          testsupport::capture([&](FILE* fp) { write_content_lines(fp, text); }));
      icalmemory_free_buffer(text);
      icalproperty_free(prop);
      ASSERT_TRUE(summary.starts_with("SUMMARY:Birthday: "));
      EXPECT_EQ(unescape(summary.substr(18)), name);
    }
  }
}

TEST(ContentLine, LibicalLinesAreUnfoldedBeforeTheyAreFoldedAnew) {
  // libical's fold may fall between the CR and the LF of a line end, and
  // anywhere in a value; a last line may lack its line end.
  std::string text = "BEGIN:VEVENT\r\nSUMMARY:a\r\n b\\\r\n ,c\r\r\n \nEND:VEVENT";
  EXPECT_EQ(testsupport::capture([&](FILE* fp) { write_content_lines(fp, text); }),
            "BEGIN:VEVENT\r\nSUMMARY:ab\\,c\r\nEND:VEVENT\r\n");
}

}  // namespace
