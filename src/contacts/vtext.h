#pragma once
// Texts of the contact files: the printouts' Latin-1 bytes made UTF-8, the
// escapes of vCard text values, and content lines folded as vCard and
// iCalendar fold them. Every fold is made here, libical's included: its own
// folding may cut a line's CR from its LF or an escape from its backslash.

#include <cstdio>
#include <string>
#include <string_view>

/// `s` in UTF-8, each byte taken as the Latin-1 character of its code:
/// 0x80-0xFF become two-byte sequences. Control characters (0x00-0x1F but
/// tab, and 0x7F), which no vCard or iCalendar value may hold, become a
/// space.
std::string utf8_from_latin1(std::string_view s);

/// True when `s` is well-formed UTF-8: no stray continuation byte, no
/// truncated, overlong or surrogate sequence, nothing above U+10FFFF.
bool is_utf8(std::string_view s);

/// A text typed on the command line in UTF-8: `s` itself when it is
/// well-formed UTF-8, else `s` read as Latin-1 (utf8_from_latin1). Control
/// characters become a space either way.
std::string utf8_from_argument(std::string_view s);

/// `s` with blanks (space, tab) removed from both ends.
std::string_view trim_blanks(std::string_view s);

/// `utf8` escaped as a vCard text value: backslash, comma and line feed as
/// "\\", "\," and "\n". A `component` of a structured value (N, ADR) also
/// gets its semicolons escaped as "\;"; a plain text value keeps them, as
/// its grammar has them.
std::string escape_vcard_text(std::string_view utf8, bool component);

/// Longest physical line of a content line, in octets, line end excluded.
inline constexpr size_t kFoldOctets = 75;

/// Writes the content line `line` (UTF-8, no CR or LF in it) to `fp`,
/// folded so that no physical line exceeds 75 octets: each continuation
/// starts with a space, and no fold falls inside a UTF-8 sequence or
/// between a backslash and the character it escapes. Every physical line
/// ends in CR LF.
void write_content_line(FILE* fp, std::string_view line);

/// Writes `text`, content lines as libical writes them, to `fp` folded anew
/// by write_content_line. libical ends each line in CR LF and folds by
/// putting CR LF and a space anywhere, even between the CR and the LF of a
/// line end; its lines hold no CR, LF or CR LF and a space of their own
/// (it escapes line feeds and drops carriage returns), so taking out every
/// CR LF and space gives back the lines unfolded. A last line without a
/// line end is written all the same.
void write_content_lines(FILE* fp, std::string_view text);
