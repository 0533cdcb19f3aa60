// Writing without a format gives the bytes the printf format would.

#include "model/put.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
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

}  // namespace
