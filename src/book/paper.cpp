#include "book/paper.h"

#include <cstdlib>

#include "model/splitfld.h"

#ifdef KINROLL_LIBPAPER
#include <paper.h>
#else
#include <fstream>
#endif

Paper a4_paper() {
  constexpr double kPointsPerMm = 72 / 25.4;
  return {"a4", 210 * kPointsPerMm, 297 * kPointsPerMm};
}

std::optional<Paper> paper_by_name(std::string_view name) {
  std::string lower;
  for (char c : name) lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  if (lower == "a4") return a4_paper();
  if (lower == "letter") return Paper{"letter", 612, 792};
  return std::nullopt;
}

#ifdef KINROLL_LIBPAPER

namespace {

/// The smallest system paper taken, in points: 4 by 5 inches.
constexpr double kLeastWidth = 288;
constexpr double kLeastHeight = 360;

}  // namespace

Paper system_paper() {
  Paper paper = a4_paper();
  paperinit();
  if (char* name = systempapername()) {
    const struct paper* info = paperinfo(name);
    if (info != nullptr && paperpswidth(info) >= kLeastWidth &&
        paperpsheight(info) >= kLeastHeight) {
      paper = {papername(info), paperpswidth(info), paperpsheight(info)};
    }
    std::free(name);
  }
  paperdone();
  return paper;
}

#else

Paper system_paper() {
  std::string name;
  if (const char* env = std::getenv("PAPERSIZE")) {
    name = env;
  } else {
    const char* conf = std::getenv("PAPERCONF");
    std::ifstream in(conf != nullptr ? conf : "/etc/papersize");
    std::string line;
    while (name.empty() && std::getline(in, line)) {
      std::string_view word = trim_view(line);
      if (!word.starts_with('#')) name = std::string(word.substr(0, word.find(' ')));
    }
  }
  std::optional<Paper> paper = paper_by_name(trim_view(name));
  return paper ? *paper : a4_paper();
}

#endif
