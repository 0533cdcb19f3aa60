#include "model/text.h"

#include <ostream>

#include "model/arena.h"

Text::Text(std::string_view s) {
  size_t nul = s.find('\0');
  if (nul != std::string_view::npos) s = s.substr(0, nul);
  const char* p = Arena::current().copy_text(s);
  at_ = static_cast<uint32_t>(static_cast<size_t>(p - text_space::base) / kUnit);
}

void copy_into(Text& to, const Text& from) {
  if (!from) {
    to.reset();
  } else if (!(to == from)) {
    to = Text(from.view());
  }
}

void PrintTo(const Text& t, std::ostream* os) {
  if (t) {
    *os << '"' << t.view() << '"';
  } else {
    *os << "(absent)";
  }
}
