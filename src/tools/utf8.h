#pragma once
// The printouts' Latin-1 bytes as UTF-8, for the programs that write text
// in UTF-8 (contact files, typeset pages), and the test for well-formed
// UTF-8 that tells a name typed in UTF-8 from one typed in Latin-1.

#include <string>
#include <string_view>

/// What utf8_from_latin1 makes of control characters (0x00-0x1F but tab,
/// and 0x7F).
enum class Controls {
  kBlank,  ///< a space: no vCard or iCalendar value may hold them, no typeset line shows them
  kKeep,   ///< themselves: a text of lines, as a page shows a printout
};

/// `s` in UTF-8, each byte taken as the Latin-1 character of its code:
/// 0x80-0xFF become two-byte sequences; control characters as `controls`
/// says.
std::string utf8_from_latin1(std::string_view s, Controls controls = Controls::kBlank);

/// True when `s` is well-formed UTF-8: no stray continuation byte, no
/// truncated, overlong or surrogate sequence, nothing above U+10FFFF.
bool is_utf8(std::string_view s);

/// A text typed on the command line in UTF-8: `s` itself when it is
/// well-formed UTF-8, else `s` read as Latin-1 (utf8_from_latin1). Control
/// characters become a space either way.
std::string utf8_from_argument(std::string_view s);
