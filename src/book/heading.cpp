#include "book/heading.h"

#include <algorithm>
#include <vector>

#include "model/infile.h"
#include "model/splitfld.h"
#include "tools/directory.h"

DirectoryHeading parse_heading_line(std::string_view line) {
  DirectoryHeading heading;
  std::string_view text = trim_view(line);
  std::vector<std::string_view> words;
  split_flds(text, words, ' ', true, static_cast<int>(text.size()));
  if (words.size() >= 3) {
    std::string_view day = words[words.size() - 3];
    std::string_view month = words[words.size() - 2];
    std::string_view year = words[words.size() - 1];
    if (!day.empty() && day.size() <= 2 && std::ranges::all_of(day, is_digit) &&
        convert_month(month) != 0 && year.size() == 4 && std::ranges::all_of(year, is_digit)) {
      heading.month = convert_month(month);
      heading.year = read_number(year, 0);
      text = text.substr(0, static_cast<size_t>(day.data() - text.data()));
    }
  }
  heading.unit = std::string(rtrim_view(text.substr(0, text.find("  "))));
  return heading;
}

DirectoryHeading read_directory_heading(const std::string& path) {
  InputFile in(path);
  std::string line;
  if (!in || !holds_directory_header(in.get()) || read_line(line, in.get()) != 0) return {};
  return parse_heading_line(line);
}
