#include "model/pages.h"

namespace {

constexpr std::string_view kFooter = "For church use only";
constexpr size_t kFooterCol = 44;

}  // namespace

bool is_page_footer(std::string_view line) {
  return line.size() > kFooterCol && line.substr(kFooterCol, 4) == kFooter.substr(0, 4);
}

bool begins_page(std::string_view line, std::string_view title, bool or_star, size_t col) {
  if (!line.empty() && (line.front() == '\f' || (or_star && line.front() == '*'))) {
    line.remove_prefix(1);
  }
  return line.size() >= col + 4 && line.substr(col, 4) == title.substr(0, 4);
}
