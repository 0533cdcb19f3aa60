// Writing without a format gives the bytes the printf format would.

#include "model/put.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>

#include "model/kinroll.h"
#include "support/capture.h"

namespace {

using testsupport::capture;

TEST(Put, NumbersAsPrintfWritesThem) {
  for (int value : {0, 7, -7, 42, 100, -100, 2147483647, INT_MIN, 12345}) {
    for (int width : {0, 2, 3, 12}) {
      for (int digits : {0, 2, 4}) {
        char expected[32];
        // digits 0 stands for no precision ("%.0d" would print 0 as nothing).
        if (digits == 0) {
          std::snprintf(expected, sizeof expected, "%*d", width, value);
        } else {
          std::snprintf(expected, sizeof expected, "%*.*d", width, digits, value);
        }
        EXPECT_EQ(capture([&](FILE* fp) { put(fp, Num{value, width, digits}); }), expected)
            << value << " in " << width << "." << digits;
      }
    }
  }
}

TEST(Put, TextsViewsAndCharacters) {
  Text absent;
  Text empty("");
  Text name("ASHBY");
  std::string kids = "Ann [12]";
  char buf[64];
  std::snprintf(buf, sizeof buf, "  %s, %s [%c]%s|%s|%s", str_or_empty(name), "Lee", 'F',
                kids.c_str(), str_or_empty(absent), str_or_empty(empty));
  EXPECT_EQ(capture([&](FILE* fp) {
              put(fp, "  ", name, ", ", std::string_view("Lee"), " [", 'F', "]", kids, "|",
                  absent, "|", empty);
            }),
            buf);
  // An absent character writes nothing, never a NUL byte.
  EXPECT_EQ(capture([&](FILE* fp) { put(fp, "[", '\0', "]"); }), "[]");
}

/// What `write` puts on a temporary file given a buffer of `size` bytes in
/// `mode` (_IOFBF, _IOLBF or _IONBF).
std::string through_buffer(int mode, size_t size, const std::function<void(FILE*)>& write) {
  FILE* fp = std::tmpfile();
  std::setvbuf(fp, nullptr, mode, size);
  write(fp);
  std::rewind(fp);
  std::string out;
  for (int c; (c = std::getc(fp)) != EOF;) out += static_cast<char>(c);
  std::fclose(fp);
  return out;
}

TEST(Put, PiecesAcrossBufferEdgesInEveryBufferingMode) {
  // Pieces of 0 to 11 bytes with line ends among them, through buffers
  // smaller than, equal to and larger than one piece: the bytes come out
  // whole and in order.
  std::string expected;
  auto write = [&](FILE* fp) {
    std::string piece;
    for (int i = 0; i < 300; ++i) {
      piece.assign(static_cast<size_t>(i % 12), static_cast<char>('a' + i % 26));
      if (i % 7 == 0) piece += '\n';
      put(fp, piece, Num{i, 4}, '|');
    }
  };
  for (int i = 0; i < 300; ++i) {
    expected.append(static_cast<size_t>(i % 12), static_cast<char>('a' + i % 26));
    if (i % 7 == 0) expected += '\n';
    char num[16];
    std::snprintf(num, sizeof num, "%4d|", i);
    expected += num;
  }
  for (int mode : {_IOFBF, _IOLBF, _IONBF}) {
    for (size_t size : {1u, 5u, 12u, 4096u}) {
      EXPECT_EQ(through_buffer(mode, size, write), expected) << "mode " << mode << " size " << size;
    }
  }
}

}  // namespace
