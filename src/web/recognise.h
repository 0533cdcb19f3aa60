#pragma once
// Which input of the batch a file is by what it holds: a printout by the
// report title on its first page, a configuration file by the shape of its
// lines. The name a browser gave only tells which input the clerk meant.

#include <cstdint>
#include <string>
#include <string_view>

/// One input of the batch production that a page can receive.
struct BatchInput {
  const char* file;       ///< the standard name the batch reads ("mis231.txt"); a literal
  const char* titles[2];  ///< the report titles that may begin its first line (the second
                          ///< may be null); both null for a configuration file
  const char* shape;      ///< a configuration file's line, field by field; null for a printout
  const char* comments;   ///< the first characters that make a configuration line a comment
  const char* what;       ///< how the page names it ("MIS 231 directory of members"); a literal
};

/// The inputs of the batch production: the printouts (the stake report
/// among them) and the two configuration files, in the order the results
/// page lists them. Configuration lines are as their readers take them
/// (menu/wardunits.cpp, readers/wardorgs.cpp).
inline constexpr BatchInput kBatchInputs[] = {
    {"mis231.txt", {"DIRECTORY OF MEMBERS (MIS 231)"}, nullptr, nullptr,
     "MIS 231 directory of members"},
    // Printouts of the family listing come under either title.
    {"mis232.txt", {"MEMBERSHIP LISTING BY HOUSEHOLD (MIS 232)", "FAMILY LISTING (MIS 232)"},
     nullptr, nullptr, "MIS 232 family listing"},
    {"mis239.txt", {"MEMBER RECORD NUMBER LIST (MIS 239)"}, nullptr, nullptr,
     "MIS 239 record number list"},
    {"mis1313.txt", {"FAMILIES AND THEIR HOME TEACHERS (MIS 1313)"}, nullptr, nullptr,
     "MIS 1313 home teaching"},
    {"mis1413.txt", {"SISTERS AND THEIR VISITING TEACHERS (MIS 1413)"}, nullptr, nullptr,
     "MIS 1413 visiting teaching"},
    {"mis121.txt", {"WARD ORGANIZATION POSITIONS LIST (MIS 121)"}, nullptr, nullptr,
     "MIS 121 ward positions"},
    {"smis.txt", {"WARD ORGANIZATION REPORT"}, nullptr, nullptr, "stake organisation report"},
    {"wardunits.txt", {}, "printed name|abbreviation|display name", "#",
     "the stake's units (wardunits.txt)"},
    {"wardorgs.txt", {}, "heading|name|abbreviation", "#*",
     "the organisation table (wardorgs.txt)"},
};

/// The directory of members, and the configuration files.
inline constexpr const BatchInput& kDirectoryInput = kBatchInputs[0];
inline constexpr const BatchInput& kUnitsInput = kBatchInputs[7];
inline constexpr const BatchInput& kOrgsInput = kBatchInputs[8];

/// How many leading bytes of a file input_by_title() looks at.
inline constexpr size_t kTitleWindow = 4096;

/// The printout whose report title begins the first line of `head` (a
/// file's first bytes; only kTitleWindow of them are read) that holds more
/// than blanks, after a UTF-8 byte-order mark, form feeds and blanks. Null
/// when it is none of them. The result points into kBatchInputs.
const BatchInput* input_by_title(std::string_view head);

/// The batch input whose standard name is the last component of `name` (as
/// a browser gives it: a path with '/' or '\' is cut) in any letter case;
/// null for none. The result points into kBatchInputs.
const BatchInput* input_by_name(std::string_view name);

/// The batch input whose standard name is `file` exactly; null for none.
/// The result points into kBatchInputs.
const BatchInput* batch_input(std::string_view file);

/// How the lines of a file fit a configuration file's shape.
struct ConfigFit {
  uint64_t bad_line = 0;  ///< the first line (from 1) of another shape; 0: every line fits
  std::string bad_text;   ///< that line, as read (at most 511 bytes)
  uint64_t entries = 0;   ///< lines of fields before it, comments and blank lines aside
};

/// Reads the file `path` line by line as the readers of `config` (a
/// configuration input) do (read_line: a line ends at a line feed, a
/// carriage return or a NUL, and one past 511 bytes comes in pieces) up to
/// its first line that is neither a comment (one of config.comments first),
/// nor blanks, nor three fields parted by '|' with the first not blank. A
/// UTF-8 byte-order mark before the first line is passed over. A file that
/// cannot be read fits as an empty one.
ConfigFit fit_config(const std::string& path, const BatchInput& config);
