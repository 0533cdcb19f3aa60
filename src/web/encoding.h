#pragma once
// Printouts are Latin-1 text. An editor may save one again as UTF-8, with
// or without a byte-order mark: such a file is told from a Latin-1 one by
// reading it through once, and turned back into Latin-1 when every one of
// its characters is one of Latin-1's.

#include <cstdint>
#include <string>
#include <string_view>

/// What a text's bytes are, as far as a TextScan has read them.
enum class TextEncoding {
  kLatin1,     ///< taken as it is: not well-formed UTF-8, or ASCII alone without a mark
  kUtf8,       ///< UTF-8 with a mark or a character past U+007F, all of them up to U+00FF
  kUtf8Wide,   ///< UTF-8 with a character past U+00FF, which Latin-1 does not have
};

/// Reads a file's bytes in pieces, in order, from its first (add()), and
/// tells after end() whether it holds a NUL byte and which TextEncoding it
/// is. Well-formed UTF-8 is strict: no overlong form, no surrogate, nothing
/// past U+10FFFF, no sequence cut short at the end. A Latin-1 printout is
/// well-formed UTF-8 only when each of its letters past 'z' is followed by
/// signs of U+0080 to U+00BF (the degree sign, the copyright sign and their
/// like), which no name has. Linear in the bytes read; holds at most one
/// line's first kShownBytes bytes.
class TextScan {
 public:
  /// How much of the first line with a character past U+00FF is kept.
  static constexpr size_t kShownBytes = 160;

  /// Takes the next `bytes` of the file.
  void add(std::string_view bytes);
  /// Ends the file: a UTF-8 sequence left open makes it no UTF-8.
  void end();

  /// A NUL byte was read.
  bool nul() const { return nul_; }
  /// The file begins with the UTF-8 byte-order mark (EF BB BF).
  bool mark() const { return mark_; }
  TextEncoding encoding() const;
  /// For kUtf8Wide: the number (from 1) of the first line holding a
  /// character past U+00FF, and its UTF-8 text without the line end, its
  /// first kShownBytes bytes at most (a character is never cut).
  uint64_t wide_line() const { return wide_line_; }
  const std::string& wide_text() const { return wide_text_; }

 private:
  void take_char(uint32_t code);

  uint64_t offset_ = 0;  // bytes read
  uint64_t line_ = 1;    // the line being read, from 1
  std::string text_;     // its first bytes, while no wide line is known yet
  bool keep_wide_ = false;  // the line being read is the first wide one
  bool nul_ = false;
  bool mark_ = false;
  bool utf8_ = true;       // well-formed so far
  bool multibyte_ = false;  // a character past U+007F was read
  uint32_t code_ = 0;      // the character being read
  int need_ = 0;           // its continuation bytes still to come
  unsigned char low_ = 0x80, high_ = 0xBF;  // the bounds of the next one
  uint64_t wide_line_ = 0;
  std::string wide_text_;
};

/// Writes the UTF-8 file `from`, scanned as kUtf8 by a TextScan, as Latin-1
/// to `to`, without the byte-order mark: whole through a temporary file
/// beside `to`, renamed over it once complete. False, with `to` left as it
/// was, when a file cannot be read or written or `from` is not what the
/// scan found.
bool write_latin1_copy(const std::string& from, const std::string& to);
