#pragma once
// What the directory printout says about itself in its first page header:
// the line under the report title names the unit and ends in the date the
// report was printed ("Alder Springs 2nd Ward          14 Apr 2024").

#include <string>
#include <string_view>

/// The unit and date of a directory printout.
struct DirectoryHeading {
  std::string unit;  ///< the unit as printed (Latin-1); empty when not found
  int month = 0;     ///< the printout's month 1-12; 0 when no date was found
  int year = 0;      ///< its year, four digits; 0 with `month`
};

/// Reads the line under the report title: the date is its last three words
/// when they read as a day, a month abbreviation ("Jan" to "Dec") and a
/// four-digit year; the unit is the text before the date up to its first
/// run of two blanks, trimmed.
DirectoryHeading parse_heading_line(std::string_view line);

/// Reads the first page header of the directory printout `path`
/// (holds_directory_header) and parses the line under its title
/// (parse_heading_line). An empty heading when the file cannot be read or
/// holds no header: reading the directory itself tells why.
DirectoryHeading read_directory_heading(const std::string& path);
