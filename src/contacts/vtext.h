#pragma once
// Texts of the contact files: blanks trimmed, the escapes of vCard text
// values, and content lines folded as vCard and iCalendar fold them. Every fold is made here, libical's included: its own
// folding may cut a line's CR from its LF or an escape from its backslash.

#include <cstdio>
#include <string>
#include <string_view>

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
