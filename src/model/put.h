#pragma once
// Writing the largest lists without a format to parse. Each call puts the
// same bytes as the printf format written in the comment beside it: texts
// by their known length, numbers by hand, into a buffer of the writer's own
// that goes to the stream with fwrite.

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "model/text.h"

/// A number as "%d"; right-aligned in `width` columns as "%2d" and the
/// like; with at least `digits` digits, leading zeros added, as "%.2d".
struct Num {
  int value;
  int width = 0;
  int digits = 0;
};

/// The bytes a writer puts on the stream `fp`, gathered in a buffer inside
/// the object and handed to the stream with one fwrite() each time it
/// fills, on flush() and when the object ends; a failed write shows in the
/// stream's error indicator, as a failed fprintf() would. Used by one thread
/// and kept on its stack for one stretch of writing.
///
/// Bytes it holds reach the stream only at a flush, so nothing else may
/// write to the stream while it holds any: a writer holds a Putter for a
/// stretch that writes through it alone, and flushes (or ends it) before it
/// writes to the stream any other way (fprintf, another Putter) or returns
/// the stream to its caller.
class Putter {
 public:
  /// Writes to `fp`, which must stay open as long as the Putter lives.
  explicit Putter(FILE* fp) : fp_(fp) {}
  Putter(const Putter&) = delete;
  Putter& operator=(const Putter&) = delete;
  ~Putter() { flush(); }

  /// Hands the bytes held to the stream.
  void flush();

  /// Puts `n` bytes at `p`.
  void bytes(const char* p, size_t n) {
    if (n <= static_cast<size_t>(buf_ + kSize - at_)) {
      if (n != 0) std::memcpy(at_, p, n);
      at_ += n;
    } else {
      spill(p, n);
    }
  }

  /// Puts one byte.
  void byte(char c) {
    if (at_ == buf_ + kSize) flush();
    *at_++ = c;
  }

 private:
  /// bytes() for more than the buffer has room for.
  void spill(const char* p, size_t n);

  static constexpr size_t kSize = 16 * 1024;
  FILE* fp_;
  char* at_ = buf_;  // the end of the bytes held
  char buf_[kSize];
};

namespace put_detail {

inline void one(Putter& out, std::string_view s) { out.bytes(s.data(), s.size()); }
inline void one(Putter& out, const char* s) { one(out, std::string_view(s)); }
inline void one(Putter& out, const std::string& s) { one(out, std::string_view(s)); }
/// An absent text as the empty text, as "%s" of str_or_empty() prints it.
inline void one(Putter& out, const Text& t) { one(out, t.view()); }
/// "%c"; a NUL character writes nothing.
inline void one(Putter& out, char c) {
  if (c != '\0') out.byte(c);
}
void one(Putter& out, Num n);

}  // namespace put_detail

/// Puts `parts` one after another: views and C strings as they are, a Text
/// as its characters (nothing when absent), a char unless NUL, a Num as a
/// decimal number.
template <class... Parts>
void put(Putter& out, const Parts&... parts) {
  (put_detail::one(out, parts), ...);
}
