// What is refused of a received file: other programs' documents by their
// first bytes; UTF-8 printouts turned back into Latin-1.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "web/encoding.h"
#include "web/sniff.h"
#include "web/text.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

/// A folder of its own for a test, removed with it.
struct TempFolder {
  fs::path dir;
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "kinroll-intake-XXXXXX").string();
    dir = mkdtemp(pattern.data());
  }
  ~TempFolder() { fs::remove_all(dir); }
  std::string write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  }
  std::string read(const std::string& name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

/// A zip archive's local file header for the entry `name` holding `data`, stored.
std::string zip_entry(const std::string& name, const std::string& data) {
  std::string h("PK\3\4", 4);
  h += std::string(14, '\0');
  for (uint32_t v : {static_cast<uint32_t>(data.size()), static_cast<uint32_t>(data.size())}) {
    for (int i = 0; i < 4; ++i) h += static_cast<char>(v >> (8 * i) & 0xFF);
  }
  h += static_cast<char>(name.size() & 0xFF);
  h += static_cast<char>(name.size() >> 8);
  h += std::string(2, '\0');  // no extra field
  return h + name + data;
}

TEST(WebIntake, OtherProgramsDocumentsByTheirFirstBytes) {
  const struct {
    std::string head;
    FileKind kind;
  } cases[] = {
      {"%PDF-1.7\n%\xE2\xE3\xCF\xD3\n", FileKind::kPdf},
      {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + std::string(8, '\0'), FileKind::kWordProcessor},
      {"{\\rtf1\\ansi\\deff0 DIRECTORY OF MEMBERS", FileKind::kWordProcessor},
      // .docx: the word/ entries come after others, past compressed data.
      {zip_entry("[Content_Types].xml", "x\x9c\x03PK") + zip_entry("_rels/.rels", "...") +
           zip_entry("word/document.xml", "..."),
       FileKind::kWordProcessor},
      {zip_entry("mimetype", "application/vnd.oasis.opendocument.text") +
           zip_entry("content.xml", "<"),
       FileKind::kWordProcessor},
      {zip_entry("mimetype", "application/vnd.oasis.opendocument.text"),
       FileKind::kWordProcessor},
      {zip_entry("mis231.txt", "DIRECTORY OF MEMBERS (MIS 231)\n"), FileKind::kZip},
      {std::string("PK\5\6", 4) + std::string(18, '\0'), FileKind::kZip},
      {std::string("PK\3\4\0\0", 6), FileKind::kZip},  // cut short
      {"DIRECTORY OF MEMBERS (MIS 231)\n%PDF-", FileKind::kText},
      {"PK 1 of 2\n", FileKind::kText},
      {"", FileKind::kText},
  };
  for (const auto& c : cases) EXPECT_EQ(sniff_kind(c.head), c.kind) << c.head;
  EXPECT_STREQ(kind_name(FileKind::kPdf), "a PDF");
  EXPECT_STREQ(kind_name(FileKind::kZip), "a zip archive");
  EXPECT_STREQ(kind_name(FileKind::kWordProcessor), "a word-processor file");
}

TEST(WebIntake, Utf8ToldFromLatin1WholeOrInPieces) {
  const std::string euro = "\xE2\x82\xAC";
  const std::string e_acute = "\xC3\xA9";
  std::string long_line = euro;
  for (int i = 0; i < 200; ++i) long_line += e_acute;
  const struct {
    std::string bytes;
    TextEncoding encoding;
    bool nul;
    uint64_t wide_line;
    std::string wide_text;
  } cases[] = {
      {"", TextEncoding::kLatin1, false, 0, ""},
      {"plain ASCII\n", TextEncoding::kLatin1, false, 0, ""},
      {"Am\xE9lie J\xFCrgen\n", TextEncoding::kLatin1, false, 0, ""},
      {"Am" + e_acute + "lie\n", TextEncoding::kUtf8, false, 0, ""},
      {"\xEF\xBB\xBFplain ASCII\n", TextEncoding::kUtf8, false, 0, ""},
      {"one\nJ\xC3\xBCrgen " + euro + " 5\r\nthree " + euro, TextEncoding::kUtf8Wide, false, 2,
       "J\xC3\xBCrgen " + euro + " 5"},
      {"\xEF\xBB\xBF" + euro + "\n", TextEncoding::kUtf8Wide, false, 1, euro},
      {"a\xEF\xBB\xBF", TextEncoding::kUtf8Wide, false, 1, "a\xEF\xBB\xBF"},  // no mark inside
      // The line shown is cut between characters.
      {long_line + "\n", TextEncoding::kUtf8Wide, false, 1, long_line.substr(0, 159)},
      // Not well-formed: overlong, a surrogate, past U+10FFFF, cut short,
      // a character past U+00FF before bad bytes.
      {"\xC0\xAF", TextEncoding::kLatin1, false, 0, ""},
      {"\xED\xA0\x80", TextEncoding::kLatin1, false, 0, ""},
      {"\xF4\x90\x80\x80", TextEncoding::kLatin1, false, 0, ""},
      {"ab" + e_acute + "\xC3", TextEncoding::kLatin1, false, 0, ""},
      {euro + "\n\xE9", TextEncoding::kLatin1, false, 1, euro},
      {"a\0b"s, TextEncoding::kLatin1, true, 0, ""},
  };
  for (const auto& c : cases) {
    for (size_t piece : {c.bytes.size() + 1, size_t{1}}) {
      TextScan scan;
      for (size_t at = 0; at < c.bytes.size(); at += piece) {
        scan.add(std::string_view(c.bytes).substr(at, piece));
      }
      scan.end();
      EXPECT_EQ(scan.encoding(), c.encoding) << c.bytes << " in pieces of " << piece;
      EXPECT_EQ(scan.nul(), c.nul) << c.bytes;
      if (c.encoding == TextEncoding::kUtf8Wide) {
        EXPECT_EQ(scan.wide_line(), c.wide_line) << c.bytes;
        EXPECT_EQ(scan.wide_text(), c.wide_text) << c.bytes;
      }
    }
  }
}

TEST(WebIntake, Utf8TurnedBackIntoTheSameLatin1) {
  TempFolder t;
  std::string latin1;
  for (int c = 1; c < 256; ++c) latin1 += static_cast<char>(c);
  latin1 += "\n" + std::string((1 << 16) - 1, 'a') + "\xE9\n";  // across a piece
  for (const std::string& mark : {std::string(), std::string("\xEF\xBB\xBF")}) {
    std::string from = t.write("utf8", mark + utf8_from_latin1(latin1));
    ASSERT_TRUE(write_latin1_copy(from, (t.dir / "latin1").string()));
    EXPECT_TRUE(t.read("latin1") == latin1) << mark.size();
  }
  // A file that is not what a scan found leaves the old one as it was.
  t.write("latin1", "old");
  EXPECT_FALSE(write_latin1_copy(t.write("wide", "\xE2\x82\xAC\n"), (t.dir / "latin1").string()));
  EXPECT_FALSE(write_latin1_copy(t.write("cut", "a\xC3"), (t.dir / "latin1").string()));
  EXPECT_EQ(t.read("latin1"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), fs::directory_iterator()), 4);
}

}  // namespace
