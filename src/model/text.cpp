#include "model/text.h"

#include <ostream>

#include "model/arena.h"

Text::Text(std::string_view s) {
  size_t nul = s.find('\0');
  if (nul != std::string_view::npos) s = s.substr(0, nul);
  p_ = Arena::current().copy_text(s);
}

void PrintTo(const Text& t, std::ostream* os) {
  if (t) {
    *os << '"' << t.view() << '"';
  } else {
    *os << "(absent)";
  }
}
