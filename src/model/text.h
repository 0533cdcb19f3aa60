#pragma once
// The text field of the ward records: a text that may be absent.

#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace text_space {
/// Start of the range of addresses that every arena's memory lies in (see
/// model/arena.h); set before the first text is made.
extern char* base;
}  // namespace text_space

/// A text that may be absent; absent and empty are different values. A Text
/// is a 4-byte handle to immutable bytes in an arena (see model/arena.h):
/// copying it shares the bytes, which live as long as their arena. A new
/// Text keeps its bytes in the current arena. A list that takes a text from
/// a list that may go before it copies the text (copy_into()) or keeps that
/// list's arena alive. Texts hold no NUL byte.
class Text {
 public:
  Text(const Text&) = default;
  Text& operator=(const Text&) = default;

  /// The absent text.
  constexpr Text() = default;
  constexpr Text(std::nullopt_t) {}
  /// A copy of `s` (up to its first NUL) in the current arena.
  Text(std::string_view s);
  /// A copy of `s`; absent for a null pointer.
  Text(const char* s) {
    if (s != nullptr) *this = Text(std::string_view(s));
  }
  Text(const std::string& s) : Text(std::string_view(s)) {}

  Text& operator=(std::nullopt_t) {
    at_ = 0;
    return *this;
  }

  /// True when present (possibly empty).
  explicit operator bool() const { return at_ != 0; }
  bool has_value() const { return at_ != 0; }
  void reset() { at_ = 0; }

  /// The characters, NUL-terminated; the empty text when absent.
  const char* c_str() const { return at_ != 0 ? chars() : ""; }
  /// The characters; empty when absent.
  std::string_view view() const {
    return at_ != 0 ? std::string_view(chars(), length(chars())) : std::string_view();
  }
  /// A std::string copy; empty when absent.
  std::string str() const { return std::string(view()); }

  size_t size() const { return at_ != 0 ? length(chars()) : 0; }
  /// True when absent or empty.
  bool empty() const { return at_ == 0 || *chars() == '\0'; }
  /// The character at `i`, which must be below size().
  char operator[](size_t i) const { return chars()[i]; }
  char front() const { return chars()[0]; }
  /// Position of `s` in the text, npos when absent or not found.
  size_t find(std::string_view s) const { return view().find(s); }
  size_t find(char c) const { return view().find(c); }
  bool contains(std::string_view s) const { return find(s) != std::string_view::npos; }

  /// Equal when both are absent, or both present with the same characters.
  friend bool operator==(const Text& a, const Text& b) {
    if (a.at_ == 0 || b.at_ == 0) return a.at_ == b.at_;
    return a.at_ == b.at_ || a.view() == b.view();
  }
  /// Equal when present and holding exactly the characters of `s`.
  friend bool operator==(const Text& a, std::string_view s) { return a.at_ != 0 && a.view() == s; }
  friend bool operator==(const Text& a, const char* s) { return a == std::string_view(s); }
  friend bool operator==(const Text& a, const std::string& s) { return a == std::string_view(s); }

 private:
  /// The length stored before the characters (see Arena::copy_text).
  static size_t length(const char* p) {
    uint32_t n;
    std::memcpy(&n, p - sizeof n, sizeof n);
    return n;
  }

  /// The characters, which a present text has.
  const char* chars() const { return text_space::base + size_t{at_} * kUnit; }

  /// The characters' offset from text_space::base in units of kUnit bytes
  /// (they start on such a boundary); 0 when absent.
  static constexpr size_t kUnit = 4;
  uint32_t at_ = 0;
};

/// Sets `to` to a copy of `from` whose bytes are in the current arena;
/// absent stays absent, and `to` is kept when it holds the same characters
/// already (so that merging a report again adds nothing). For a merge that
/// takes a text from a list that may be dropped before the one it fills.
void copy_into(Text& to, const Text& from);

/// Prints `t` quoted, or (absent), for test diagnostics.
void PrintTo(const Text& t, std::ostream* os);
