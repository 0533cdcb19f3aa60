#include "model/text.h"

#include <ostream>

#include "model/arena.h"

Text::Text(std::string_view s) {
  s = s.substr(0, s.find('\0'));
  const char* p = Arena::current().copy_text(s);
  at_ = static_cast<uint32_t>(static_cast<size_t>(p - text_space::base) / kUnit);
}

void copy_into(Text& to, const Text& from) {
  if (!(to == from)) to = from ? Text(from.view()) : Text();
}

void PrintTo(const Text& t, std::ostream* os) {
  if (t) {
    *os << '"' << t.view() << '"';
  } else {
    *os << "(absent)";
  }
}
