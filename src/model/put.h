#pragma once
// Writing the largest lists without a format to parse. Each call puts the
// same bytes as the printf format written in the comment beside it: texts
// by their known length, numbers by hand, straight into the stream's
// buffer.

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

namespace put_detail {

/// `n` bytes at `p`: copied straight into the stream's buffer while it has
/// room, as putc_unlocked() does with one character; else by fwrite. A line
/// buffered or unbuffered stream never shows room, so it always takes fwrite.
inline void bytes(FILE* fp, const char* p, size_t n) {
#ifdef __GLIBC__
  if (n <= static_cast<size_t>(fp->_IO_write_end - fp->_IO_write_ptr)) {
    if (n != 0) std::memcpy(fp->_IO_write_ptr, p, n);
    fp->_IO_write_ptr += n;
    return;
  }
#endif
  fwrite_unlocked(p, 1, n, fp);
}

inline void one(FILE* fp, std::string_view s) { bytes(fp, s.data(), s.size()); }
inline void one(FILE* fp, const char* s) { one(fp, std::string_view(s)); }
inline void one(FILE* fp, const std::string& s) { one(fp, std::string_view(s)); }
/// An absent text as the empty text, as "%s" of str_or_empty() prints it.
inline void one(FILE* fp, const Text& t) { one(fp, t.view()); }
/// "%c"; a NUL character writes nothing.
inline void one(FILE* fp, char c) {
  if (c != '\0') putc_unlocked(c, fp);
}
void one(FILE* fp, Num n);

}  // namespace put_detail

/// Writes `parts` to `fp` one after another: views and C strings as they
/// are, a Text as its characters (nothing when absent), a char unless NUL, a
/// Num as a decimal number. The stream must be written by one thread only:
/// no call takes the stream's lock.
template <class... Parts>
void put(FILE* fp, const Parts&... parts) {
  (put_detail::one(fp, parts), ...);
}
