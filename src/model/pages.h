#pragma once
// The page furniture of the membership-report printouts: each page begins
// with the report's title line (after a form feed) and ends with a footer
// line naming its use.

#include <cstddef>
#include <string_view>

/// True for a page footer: a line of more than 44 characters with the first
/// four characters of "For church use only" at column 44.
bool is_page_footer(std::string_view line);

/// True for a page header: after one leading form feed (or, with `or_star`,
/// a leading '*'), the line holds the first four characters of `title` at
/// column `col` counted from there.
bool begins_page(std::string_view line, std::string_view title, bool or_star = false,
                 size_t col = 0);
