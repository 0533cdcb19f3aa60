#pragma once
// Turning the printouts' bytes and the batch's messages into page text.

#include <string>
#include <string_view>
#include <vector>

#include "tools/utf8.h"

/// `text` with &, <, >, " and ' written as character references, for any
/// place in a page (element text or a quoted attribute).
std::string html_escape(std::string_view text);

/// The printout text `latin1`, decoded and escaped: what a page shows.
inline std::string page_text(std::string_view latin1) {
  return html_escape(utf8_from_latin1(latin1, Controls::kKeep));
}

/// The rows of the CSV text `csv`, fields unquoted as the batch quotes
/// them (a field in double quotes, a doubled quote for a quote, commas and
/// line ends kept inside the quotes). A final line end ends the last row; no
/// empty row follows it.
std::vector<std::vector<std::string>> csv_rows(std::string_view csv);

/// The UTF-8 text `utf8` (a unit name typed in the page) in ISO 8859-1,
/// as the printouts are written: every character past U+00FF, every
/// malformed byte and every control character becomes '?'.
std::string latin1_from_utf8(std::string_view utf8);
