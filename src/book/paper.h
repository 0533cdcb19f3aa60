#pragma once
// The paper the booklet is printed on: A4 or Letter as asked, else the
// system's default paper.

#include <optional>
#include <string>
#include <string_view>

/// A sheet of paper, upright, in points (1/72 inch).
struct Paper {
  std::string name;  ///< "a4", "letter" or the system's name for it
  double width;
  double height;
};

/// A4, 210 by 297 mm (595.28 by 841.89 points).
Paper a4_paper();

/// The paper named `name`: "a4" or "letter" in any letter case; nullopt
/// for any other name.
std::optional<Paper> paper_by_name(std::string_view name);

/// The system's default paper. Built with libpaper: the paper it names
/// (from PAPERSIZE, the file PAPERCONF names, or /etc/papersize) when it
/// knows its size and it is at least 4 by 5 inches. Without libpaper: the
/// paper PAPERSIZE, else the first word of /etc/papersize (or of the file
/// PAPERCONF names), names when paper_by_name knows it. Else A4.
Paper system_paper();
