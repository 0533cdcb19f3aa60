#include "web/encoding.h"

#include <cstdio>

#include "model/outfile.h"

namespace {

/// `text` without a UTF-8 sequence cut short at its end.
void drop_cut_char(std::string& text) {
  size_t start = text.size();
  while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
  if (start == 0) return;
  auto lead = static_cast<unsigned char>(text[start - 1]);
  size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (text.size() - (start - 1) < len) text.resize(start - 1);
}

}  // namespace

void TextScan::add(std::string_view bytes) {
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    ++offset_;
    nul_ = nul_ || b == 0;
    if (utf8_ && need_ > 0) {
      if (b < low_ || b > high_) {
        utf8_ = false;
      } else {
        code_ = code_ << 6 | (b & 0x3Fu);
        low_ = 0x80;
        high_ = 0xBF;
        if (--need_ == 0) take_char(code_);
      }
    } else if (utf8_ && b >= 0x80) {
      // The lead byte: how many follow, and the bounds of the first that
      // keep out overlong forms, surrogates and what lies past U+10FFFF.
      if (b >= 0xC2 && b <= 0xDF) {
        need_ = 1;
        code_ = b & 0x1Fu;
      } else if (b >= 0xE0 && b <= 0xEF) {
        need_ = 2;
        code_ = b & 0x0Fu;
        low_ = b == 0xE0 ? 0xA0 : 0x80;
        high_ = b == 0xED ? 0x9F : 0xBF;
      } else if (b >= 0xF0 && b <= 0xF4) {
        need_ = 3;
        code_ = b & 0x07u;
        low_ = b == 0xF0 ? 0x90 : 0x80;
        high_ = b == 0xF4 ? 0x8F : 0xBF;
      } else {
        utf8_ = false;
      }
    }
    if (b == '\n') {
      if (keep_wide_) wide_text_ = text_;
      keep_wide_ = false;
      text_.clear();
      ++line_;
    } else if (((utf8_ && wide_line_ == 0) || keep_wide_) && text_.size() < kShownBytes) {
      text_ += ch;
    }
  }
}

void TextScan::take_char(uint32_t code) {
  multibyte_ = true;
  if (code == 0xFEFF && offset_ == 3) {
    mark_ = true;
  } else if (code > 0xFF && wide_line_ == 0) {
    wide_line_ = line_;
    keep_wide_ = true;
  }
}

void TextScan::end() {
  if (need_ > 0) utf8_ = false;
  if (keep_wide_) wide_text_ = text_;
  keep_wide_ = false;
  if (wide_line_ == 1 && mark_) wide_text_.erase(0, 3);
  if (!wide_text_.empty() && wide_text_.back() == '\r') wide_text_.pop_back();
  drop_cut_char(wide_text_);
}

TextEncoding TextScan::encoding() const {
  if (!utf8_ || (!multibyte_ && !mark_)) return TextEncoding::kLatin1;
  return wide_line_ != 0 ? TextEncoding::kUtf8Wide : TextEncoding::kUtf8;
}

bool write_latin1_copy(const std::string& from, const std::string& to) {
  FILE* in = std::fopen(from.c_str(), "rb");
  if (in == nullptr) return false;
  OutputFile out;
  if (!out.open(to)) {
    std::fclose(in);
    return false;
  }
  bool ok = true;
  bool first = true;
  unsigned lead = 0;  // a lead byte whose continuation is in the next piece
  std::string piece(1 << 16, '\0');
  std::string latin1;
  for (size_t got; ok && (got = std::fread(piece.data(), 1, piece.size(), in)) > 0;) {
    std::string_view bytes(piece.data(), got);
    if (first && bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    first = false;
    latin1.clear();
    for (char ch : bytes) {
      auto b = static_cast<unsigned char>(ch);
      if (lead != 0 && (b & 0xC0) == 0x80) {
        latin1 += static_cast<char>((lead & 0x1Fu) << 6 | (b & 0x3Fu));
        lead = 0;
      } else if (lead == 0 && b < 0x80) {
        latin1 += ch;
      } else if (lead == 0 && (b == 0xC2 || b == 0xC3)) {
        lead = b;  // U+0080 to U+00FF: all that was found
      } else {
        ok = false;
        break;
      }
    }
    ok = ok && std::fwrite(latin1.data(), 1, latin1.size(), out.get()) == latin1.size();
  }
  ok = ok && lead == 0 && !std::ferror(in);
  std::fclose(in);
  return ok && out.commit();
}
