#include "model/text.h"

#include <ostream>

#include "model/arena.h"

Text& Text::operator=(const Text& other) {
  const char* old = p_;
  p_ = other.p_;
  if (p_ == nullptr || *p_ == '\0') return *this;
  Arena* home = Arena::owner_of(this);
  if (home == nullptr) return *this;  // not part of a record: share
  Arena* from = Arena::owner_of(p_);
  if (from != home && from != &Arena::global()) {
    // A text the record holds already is kept, so that merging a report
    // again adds nothing to the record's arena.
    if (old != nullptr && std::string_view(old, length(old)) == other.view()) {
      p_ = old;
    } else {
      p_ = home->copy_text(other.view());
    }
  }
  return *this;
}

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
