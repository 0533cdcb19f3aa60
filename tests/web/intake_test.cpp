// Which input of the batch a received file is, and what is refused: other
// programs' documents by their first bytes, UTF-8 printouts turned back into
// Latin-1, printouts by their titles, configuration files by their shape,
// and the placing of a whole form.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "web/encoding.h"
#include "web/place.h"
#include "web/recognise.h"
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
    std::string from = t.write("utf8", mark + utf8_from_latin1(latin1, Controls::kKeep));
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

TEST(WebIntake, PrintoutsByTheTitleOnTheirFirstLine) {
  const struct {
    std::string head;
    const char* file;  // null: none
  } cases[] = {
      {"DIRECTORY OF MEMBERS (MIS 231)        Page 1\n", "mis231.txt"},
      {"\n \n\f  MEMBER RECORD NUMBER LIST (MIS 239)   Page 1\n", "mis239.txt"},
      {"MEMBERSHIP LISTING BY HOUSEHOLD (MIS 232)  Page 1\n", "mis232.txt"},
      {"  FAMILY LISTING (MIS 232)       Maple Creek Ward\n", "mis232.txt"},
      {"\xEF\xBB\xBF"
       "FAMILIES AND THEIR HOME TEACHERS (MIS 1313)\r\n",
       "mis1313.txt"},
      {"SISTERS AND THEIR VISITING TEACHERS (MIS 1413)", "mis1413.txt"},
      {"WARD ORGANIZATION POSITIONS LIST (MIS 121)   Maple Creek Ward\n", "mis121.txt"},
      {"            WARD ORGANIZATION REPORT            Page 1\n", "smis.txt"},
      {"Notes\nDIRECTORY OF MEMBERS (MIS 231)\n", nullptr},
      {"Copy of DIRECTORY OF MEMBERS (MIS 231)\n", nullptr},
      {"DIRECTORY OF MEMBERS\n", nullptr},
      {std::string(kTitleWindow, '\n') + "DIRECTORY OF MEMBERS (MIS 231)\n", nullptr},
      {"# printed name|abbreviation|display name\n", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    const BatchInput* in = input_by_title(c.head);
    EXPECT_STREQ(in != nullptr ? in->file : nullptr, c.file) << c.head;
  }
  // A name only tells which input the clerk meant.
  EXPECT_EQ(input_by_name("C:\\Reports\\MIS1313.TXT"), batch_input("mis1313.txt"));
  EXPECT_EQ(input_by_name("../wardorgs.txt"), &kOrgsInput);
  EXPECT_EQ(input_by_name("SMIS.TXT"), batch_input("smis.txt"));
  EXPECT_EQ(input_by_name("mis231.txt.bak"), nullptr);
}

TEST(WebIntake, ConfigurationFilesByTheShapeOfTheirLines) {
  TempFolder t;
  const struct {
    std::string bytes;
    const BatchInput& config;
    uint64_t bad_line;
    std::string bad_text;
    uint64_t entries;
  } cases[] = {
      {"# printed name|abbreviation|display name\nASPEN WARD|as|Aspen\n\n  \nBIRCH|b|Birch\n",
       kUnitsInput, 0, "", 2},
      {"\xEF\xBB\xBF# marked\r\nASPEN WARD|as|Aspen\r\n", kUnitsInput, 0, "", 1},
      {"# only a comment\n", kUnitsInput, 0, "", 0},
      {"", kOrgsInput, 0, "", 0},
      {"* a star\nBISHOPRIC|Bishopric|bish\n", kOrgsInput, 0, "", 1},
      {"* a star\nBISHOPRIC|Bishopric|bish\n", kUnitsInput, 1, "* a star", 0},
      {"BISHOPRIC|Bishopric\n", kOrgsInput, 1, "BISHOPRIC|Bishopric", 0},
      {"A|b|c\nA|b|c|d\n", kOrgsInput, 2, "A|b|c|d", 1},
      {"A|b|c\n |b|c\n", kUnitsInput, 2, " |b|c", 1},
      {"DIRECTORY OF MEMBERS (MIS 231)\n", kOrgsInput, 1, "DIRECTORY OF MEMBERS (MIS 231)", 0},
  };
  for (const auto& c : cases) {
    ConfigFit fit = fit_config(t.write("config", c.bytes), c.config);
    EXPECT_EQ(fit.bad_line, c.bad_line) << c.bytes;
    EXPECT_EQ(fit.bad_text, c.bad_text) << c.bytes;
    EXPECT_EQ(fit.entries, c.entries) << c.bytes;
  }
}

// Printouts and configuration files for placing.
const std::string kDirectory = "DIRECTORY OF MEMBERS (MIS 231)   Page 1\n\nAM\xC9LIE, J\xFCrgen\n";
const std::string kListing = "MEMBERSHIP LISTING BY HOUSEHOLD (MIS 232)   Page 1\n";
const std::string kPositions = "WARD ORGANIZATION POSITIONS LIST (MIS 121)   Page 1\n";
const std::string kOrgs = "# heading|name|abbreviation\nBISHOPRIC|Bishopric|bish\n";
const std::string kPdf = "%PDF-1.4\n1 0 obj\n";

/// A file of a form, and what it must be taken for.
struct Sent {
  const char* field;
  std::string name;
  std::string bytes;
  const char* taken_as;  // null: not taken
  bool refused;
  std::string note;
  std::string latin1 = "";  // what is put in place when it is turned back from UTF-8
};

TEST(WebIntake, FormsPlacedOrRefused) {
  const std::string two_directories =
      "Two files were sent for the MIS 231 directory of members, April.txt and May.txt: choose "
      "one of them (last month's directory has a box of its own)";
  const std::string kept = "it is the MIS 232 family listing, but no list was made";
  const struct {
    const char* what;
    std::vector<Sent> sent;
    std::vector<std::string> refusals;
  } cases[] = {
      {"a PDF under a printout's name",
       {{"printouts", "mis231.txt", kPdf, nullptr, true,
         "mis231.txt is a PDF, not a saved printout: save the report as text"},
        {"printouts", "mis232.txt", kListing, nullptr, false, kept}},
       {"mis231.txt is a PDF, not a saved printout: save the report as text"}},
      {"binary bytes in a configuration box",
       {{"wardunits", "units.txt", "A|b|c\n\0\0"s, nullptr, true,
         "units.txt is not a saved printout (it holds binary bytes): save the report as text"}},
       {"units.txt is not a saved printout (it holds binary bytes): save the report as text"}},
      {"two directories",
       {{"printouts", "April.txt", kDirectory, nullptr, true,
         "one of 2 files for the MIS 231 directory of members"},
        {"printouts", "May.txt", kDirectory, nullptr, true,
         "one of 2 files for the MIS 231 directory of members"},
        {"printouts", "notes.txt", "Sunday\n", nullptr, false,
         "not recognised: none of the printouts or configuration files"}},
       {two_directories}},
      {"a positions report chosen as the organisation table",
       {{"wardorgs", "orgs.txt", kPositions, "mis121.txt", false,
         "chosen as the organisation table, it is the MIS 121 ward positions by its title"},
        {"printouts", "wardorgs.txt", kOrgs, "wardorgs.txt", false, ""}},
       {}},
      {"and with the positions report among the printouts too",
       {{"wardorgs", "orgs.txt", kPositions, nullptr, true,
         "one of 2 files for the MIS 121 ward positions"},
        {"printouts", "mis121.txt", kPositions, nullptr, true,
         "one of 2 files for the MIS 121 ward positions"}},
       {"Two files were sent for the MIS 121 ward positions, orgs.txt and mis121.txt: choose "
        "one of them"}},
      {"a printout's name without its title",
       {{"printouts", "mis231.txt", "Bring the printouts\n", nullptr, true,
         "mis231.txt is named like the MIS 231 directory of members, but its first line is not "
         "that report's title: choose the saved printout itself"}},
       {"mis231.txt is named like the MIS 231 directory of members, but its first line is not "
        "that report's title: choose the saved printout itself"}},
      {"a configuration file among the printouts, and its box given too",
       {{"printouts", "WARDORGS.TXT", kOrgs, nullptr, true,
         "one of 2 files for the organisation table (wardorgs.txt)"},
        {"wardorgs", "orgs.txt", kOrgs, nullptr, true,
         "one of 2 files for the organisation table (wardorgs.txt)"}},
       {"Two files were sent for the organisation table (wardorgs.txt), WARDORGS.TXT and "
        "orgs.txt: choose one of them"}},
      {"configuration files out of place or out of shape",
       {{"printouts", "units.txt", "ASPEN|as|Aspen\n", nullptr, true,
         "units.txt looks like a configuration file (wardunits.txt or wardorgs.txt): choose it "
         "in its own box"},
        {"wardunits", "wardorgs.txt", kOrgs, nullptr, true,
         "wardorgs.txt is named like the organisation table (wardorgs.txt): choose it in its own "
         "box, not as the stake's units"},
        {"wardorgs", "o.txt", "# orgs\nBISHOPRIC: Bishopric\n", nullptr, true,
         "o.txt cannot be the organisation table (wardorgs.txt): its line 2 is not of the form "
         "heading|name|abbreviation but \"BISHOPRIC: Bishopric\""},
        {"printouts", "wardunits.txt", "ASPEN|as\n", nullptr, true,
         "wardunits.txt cannot be the stake's units (wardunits.txt): its line 1 is not of the "
         "form printed name|abbreviation|display name but \"ASPEN|as\""}},
       {"units.txt looks like a configuration file (wardunits.txt or wardorgs.txt): choose it "
        "in its own box",
        "wardorgs.txt is named like the organisation table (wardorgs.txt): choose it in its own "
        "box, not as the stake's units",
        "o.txt cannot be the organisation table (wardorgs.txt): its line 2 is not of the form "
        "heading|name|abbreviation but \"BISHOPRIC: Bishopric\"",
        "wardunits.txt cannot be the stake's units (wardunits.txt): its line 1 is not of the "
        "form printed name|abbreviation|display name but \"ASPEN|as\""}},
      {"last month's box",
       {{"lastmonth", "old.txt", kListing, nullptr, true,
         "old.txt is the MIS 232 family listing, not a directory of members (MIS 231): only last "
         "month's directory goes in its box"}},
       {"old.txt is the MIS 232 family listing, not a directory of members (MIS 231): only last "
        "month's directory goes in its box"}},
      {"last month's directory alone",
       {{"lastmonth", "March.txt", kDirectory, "last month's mis231.txt", false, ""}},
       {}},
      {"UTF-8 that Latin-1 cannot hold",
       {{"printouts", "a.txt",
         utf8_from_latin1(kDirectory, Controls::kKeep) + "Price: 5 \xE2\x82\xAC\n", nullptr, true,
         "a.txt was saved as UTF-8 and cannot be turned back into Latin-1: its line 4 holds a "
         "character that Latin-1 does not have: \"Price: 5 \xE2\x82\xAC\""}},
       {"a.txt was saved as UTF-8 and cannot be turned back into Latin-1: its line 4 holds a "
        "character that Latin-1 does not have: \"Price: 5 \xE2\x82\xAC\""}},
      {"a good form, UTF-8 printouts turned back",
       {{"printouts", "April.txt", "\xEF\xBB\xBF" + utf8_from_latin1(kDirectory, Controls::kKeep),
         "mis231.txt", false, "", kDirectory},
        {"lastmonth", "March.txt", utf8_from_latin1(kDirectory, Controls::kKeep),
         "last month's mis231.txt", false, "", kDirectory},
        {"printouts", "listing.txt", kListing, "mis232.txt", false, ""},
        {"printouts", "notes.txt", "Sunday\n", nullptr, false,
         "not recognised: none of the printouts or configuration files"}},
       {}},
  };
  for (const auto& c : cases) {
    TempFolder t;
    for (const char* dir : {"up", "work", "last"}) fs::create_directory(t.dir / dir);
    std::vector<ReceivedFile> files;
    for (const Sent& s : c.sent) {
      t.write("up/" + std::to_string(files.size()), s.bytes);
      files.push_back({s.field, s.name, s.bytes.size()});
    }
    std::atomic<bool> cancel{false};
    Placement placed = place_uploads(files, t.dir.string(), cancel);
    EXPECT_EQ(placed.refusals, c.refusals) << c.what;
    ASSERT_EQ(placed.uploads.size(), c.sent.size()) << c.what;
    size_t moved = 0;
    bool directory = false;
    for (size_t i = 0; i < c.sent.size(); ++i) {
      const Sent& s = c.sent[i];
      const UploadedFile& up = placed.uploads[i];
      EXPECT_EQ(up.name, s.name);
      EXPECT_EQ(up.size, s.bytes.size());
      EXPECT_STREQ(up.taken_as, s.taken_as) << c.what << ": " << s.name;
      EXPECT_EQ(up.refused, s.refused) << c.what << ": " << s.name;
      EXPECT_EQ(up.note, s.note) << c.what << ": " << s.name;
      if (s.taken_as == nullptr) continue;
      // Taken: in place, in Latin-1 whatever it was sent as.
      ++moved;
      bool last = std::string(s.taken_as).starts_with("last");
      std::string where = last ? "last/mis231.txt" : "work/" + std::string(s.taken_as);
      EXPECT_EQ(up.converted, !s.latin1.empty()) << c.what << ": " << s.name;
      EXPECT_TRUE(t.read(where) == (s.latin1.empty() ? s.bytes : s.latin1))
          << c.what << ": " << s.name;
      directory = directory || where == "work/mis231.txt";
    }
    EXPECT_EQ(placed.has_directory, directory) << c.what;
    // Nothing else is in place; what was not taken stays where it came.
    auto count = [](const fs::path& dir) {
      return static_cast<size_t>(
          std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    };
    EXPECT_EQ(count(t.dir / "work") + count(t.dir / "last"), moved) << c.what;
    EXPECT_EQ(count(t.dir / "up"), c.sent.size() - moved) << c.what;
  }
}

}  // namespace
