#pragma once
// Helpers that read report lines and cut them into fixed columns, and the
// small code tables (months, member types, teaching groups).

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

/// Longest piece of a report line that read_line gives at once: 511
/// characters. (Console answers are read whole: see read_console_line.)
inline constexpr size_t kMaxLine = 511;

/// Reads one line of at most 511 characters from `fp` into `line`, cut at the
/// first line feed, carriage return or NUL. A longer line comes back in
/// 511-character pieces over successive calls. Returns 0, or -1 at end of
/// input or on a read error (then `line` is empty).
int read_line(std::string& line, FILE* fp);

/// The characters of `buf` at columns [beg, end), cut short where the line
/// ends; empty when `end` <= `beg` or the line ends before `beg`. The view
/// points into `buf` and is valid while `buf` is unchanged.
std::string_view extract_field(std::string_view buf, size_t beg, size_t end);

/// extract_field without trailing white space (space, \t \n \v \f \r);
/// leading white space stays. An all-blank column gives the empty view.
std::string_view rtrim_field(std::string_view buf, size_t beg, size_t end);

/// True for space, tab, line feed, vertical tab, form feed, carriage return.
inline bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/// True for the digits '0' to '9'.
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

/// True for the capitals 'A' to 'Z'.
inline bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }

/// `c` with the letters a-z taken as A-Z; any other byte unchanged.
inline char to_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

/// `s` without its leading white space (is_blank), its trailing white space,
/// or both. The view points into `s`.
std::string_view ltrim_view(std::string_view s);
std::string_view rtrim_view(std::string_view s);
std::string_view trim_view(std::string_view s);

/// The number that starts at column `col` of `line`: white space skipped,
/// then decimal digits up to the first non-digit (no sign); 0 when no digit
/// follows or `col` is past the end of the line. A value too large for an
/// int is held at the int maximum.
int read_number(std::string_view line, size_t col);

/// Reads and drops `n` lines of `fp` with read_line into `line`; false when
/// the input ended among them.
bool skip_lines(std::string& line, FILE* fp, int n);

/// Cuts `str` at each `delim` into at most `maxflds` fields, stored in `flds`
/// (cleared first) as views into `str`. With `skip`, a run of delimiters after
/// a field counts as one. A text ending with a delimiter gives a last, empty
/// field while a slot is free. The empty text gives 0 fields. Returns the
/// number of fields.
int split_flds(std::string_view str, std::vector<std::string_view>& flds, char delim,
               bool skip, int maxflds);

/// Month abbreviations "Jan" to "Dec".
extern const char* const months[12];

/// The month number 1-12 of an exact, case-sensitive abbreviation; else 0.
int convert_month(std::string_view mname);

/// "Head" for 1, "Spouse" for 2, "Child" for 3, "Unknown" otherwise.
const char* mem_type(int type);

/// Teaching group names by code 0-5: "??", "NA", "EL", "HP", "NC", "RS".
extern const char* const HTGroup[6];

/// The group name of a code; "??" outside 0-5.
const char* htgroup(int n);
