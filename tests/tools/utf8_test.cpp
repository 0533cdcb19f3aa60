// The printouts' Latin-1 made UTF-8, the test for well-formed UTF-8, and a
// command-line text taken as UTF-8 when it is, else as Latin-1.

#include "tools/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Latin1ToUtf8, HighBytesBecomeTwoByteSequencesAndControlsSpaces) {
  EXPECT_EQ(utf8_from_latin1("Jos\xe9"), "Jos\xc3\xa9");
  EXPECT_EQ(utf8_from_latin1("\x80\xbf\xc0\xff"), "\xc2\x80\xc2\xbf\xc3\x80\xc3\xbf");
  // Tab stays; a form feed, a carriage return and DEL may stand in no value.
  EXPECT_EQ(utf8_from_latin1("a\tb\fc\rd\x7f"), "a\tb c d ");
  // A text of lines, as a page shows a printout, keeps them.
  EXPECT_EQ(utf8_from_latin1("a\nb\f\xe9", Controls::kKeep), "a\nb\f\xc3\xa9");
  EXPECT_EQ(utf8_from_latin1(""), "");
}

TEST(Utf8Check, TellsWellFormedFromBroken) {
  EXPECT_TRUE(is_utf8("plain"));
  EXPECT_TRUE(is_utf8("Zo\xc3\xab \xe2\x82\xac \xf0\x9f\x8e\x82"));
  EXPECT_FALSE(is_utf8("Zo\xeb"));            // Latin-1 byte
  EXPECT_FALSE(is_utf8("\xc3"));              // cut short
  EXPECT_FALSE(is_utf8("\xa9"));              // stray continuation
  EXPECT_FALSE(is_utf8("\xc0\x80"));          // overlong NUL
  EXPECT_FALSE(is_utf8("\xe0\x80\xaf"));      // overlong '/'
  EXPECT_FALSE(is_utf8("\xed\xa0\x80"));      // surrogate
  EXPECT_FALSE(is_utf8("\xf4\x90\x80\x80"));  // above U+10FFFF
}

TEST(Utf8Check, ArgumentsInUtf8StayAndOthersAreLatin1) {
  EXPECT_EQ(utf8_from_argument("Saint-R\xc3\xa9my Ward"), "Saint-R\xc3\xa9my Ward");
  EXPECT_EQ(utf8_from_argument("Saint-R\xe9my Ward"), "Saint-R\xc3\xa9my Ward");
  EXPECT_EQ(utf8_from_argument("Ward\n2"), "Ward 2");
}

}  // namespace
