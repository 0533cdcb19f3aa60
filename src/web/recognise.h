#pragma once
// Which printout an uploaded file is: by its standard name, or whatever its
// name, by the report title on its first page.

#include <string_view>

/// One input of the batch production that a page can receive.
struct BatchInput {
  const char* file;   ///< the standard name the batch reads ("mis231.txt"); a literal
  const char* title;  ///< the report title on its first page; null for a configuration file
  const char* what;   ///< how the page names it ("MIS 231 directory of members"); a literal
};

/// The inputs of a job: the seven printouts and the two configuration
/// files, in the order the results page lists them.
inline constexpr BatchInput kBatchInputs[] = {
    {"mis231.txt", "DIRECTORY OF MEMBERS (MIS 231)", "MIS 231 directory of members"},
    {"mis232.txt", "MEMBERSHIP LISTING BY HOUSEHOLD (MIS 232)", "MIS 232 family listing"},
    {"mis239.txt", "MEMBER RECORD NUMBER LIST (MIS 239)", "MIS 239 record number list"},
    {"mis1313.txt", "FAMILIES AND THEIR HOME TEACHERS (MIS 1313)", "MIS 1313 home teaching"},
    {"mis1413.txt", "SISTERS AND THEIR VISITING TEACHERS (MIS 1413)",
     "MIS 1413 visiting teaching"},
    {"mis121.txt", "WARD ORGANIZATION POSITIONS LIST (MIS 121)", "MIS 121 ward positions"},
    {"smis.txt", "WARD ORGANIZATION REPORT", "the stake's organisation report"},
    {"wardunits.txt", nullptr, "the stake's units (wardunits.txt)"},
    {"wardorgs.txt", nullptr, "the organisation table (wardorgs.txt)"},
};

/// How many leading bytes of a file recognise_input() looks at for a title.
inline constexpr size_t kTitleWindow = 4096;

/// The batch input that a file named `name` by the browser, beginning with
/// `head` (its first bytes, up to kTitleWindow), stands for: the one whose
/// standard name is the last component of `name` in any letter case, else
/// the printout whose title is on the first line of `head` that is not
/// blank. Null when it is none of them. The result points into
/// kBatchInputs.
const BatchInput* recognise_input(std::string_view name, std::string_view head);

/// The batch input whose standard name is `file` exactly; null for none.
/// The result points into kBatchInputs.
const BatchInput* batch_input(std::string_view file);
