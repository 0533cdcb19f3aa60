// Writing without a format gives the bytes the printf format would, in
// order with what else is written to the stream.

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
        EXPECT_EQ(capture([&](FILE* fp) {
                    Putter out(fp);
                    put(out, Num{value, width, digits});
                  }),
                  expected)
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
              Putter out(fp);
              put(out, "  ", name, ", ", std::string_view("Lee"), " [", 'F', "]", kids, "|",
                  absent, "|", empty);
            }),
            buf);
  // An absent character writes nothing, never a NUL byte.
  EXPECT_EQ(capture([&](FILE* fp) {
              Putter out(fp);
              put(out, "[", '\0', "]");
            }),
            "[]");
}

/// What `write` puts on a temporary file given a buffer of `size` bytes in
/// `mode` (_IOFBF, _IOLBF or _IONBF).
std::string through_buffer(int mode, size_t size, const std::function<void(FILE*)>& write) {
  FILE* fp = std::tmpfile();
  std::setvbuf(fp, nullptr, mode, size);
  write(fp);
  std::rewind(fp);
  std::string out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, fp)) > 0;) out.append(buf, n);
  std::fclose(fp);
  return out;
}

TEST(Put, PiecesAcrossBufferEdgesInEveryBufferingMode) {
  // Pieces of 0 to 11 bytes with line ends among them, and now and then one
  // about as large as a Putter's buffer or larger, through stream buffers
  // smaller than, equal to and larger than one piece: the bytes come out
  // whole and in order.
  auto piece_of = [](int i) {
    size_t size = static_cast<size_t>(i % 12);
    if (i % 50 == 49) size = static_cast<size_t>(16 * 1024 - 30 + i % 60 + (i % 100 == 99) * 30000);
    std::string piece(size, static_cast<char>('a' + i % 26));
    if (i % 7 == 0) piece += '\n';
    return piece;
  };
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    expected += piece_of(i);
    char num[16];
    std::snprintf(num, sizeof num, "%4d|", i);
    expected += num;
  }
  auto write = [&](FILE* fp) {
    Putter out(fp);
    for (int i = 0; i < 3000; ++i) put(out, piece_of(i), Num{i, 4}, '|');
  };
  for (int mode : {_IOFBF, _IOLBF, _IONBF}) {
    for (size_t size : {1u, 5u, 12u, 4096u}) {
      EXPECT_EQ(through_buffer(mode, size, write), expected) << "mode " << mode << " size " << size;
    }
  }
}

TEST(Put, BytesComeOutInOrderWithFprintf) {
  // A flush puts what is held on the stream: fprintf() then comes after it;
  // the end of the Putter flushes too.
  EXPECT_EQ(capture([](FILE* fp) {
              std::fprintf(fp, "title\n");
              {
                Putter out(fp);
                put(out, "a", Num{1});
                out.flush();
                std::fprintf(fp, "b%d", 2);
                put(out, 'c', Num{3});
              }
              std::fprintf(fp, "<*>\n");
            }),
            "title\na1b2c3<*>\n");
}

TEST(Put, FailedWriteShowsOnTheStream) {
  FILE* fp = std::fopen("/dev/full", "w");
  ASSERT_NE(fp, nullptr);
  {
    Putter out(fp);
    put(out, std::string(100000, 'x'));
  }
  EXPECT_TRUE(std::fflush(fp) != 0 || std::ferror(fp));
  std::fclose(fp);
}

}  // namespace
