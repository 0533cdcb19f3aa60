#include "model/shell.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ShellWord, SafeCharactersStayUnquoted) {
  const std::string safe = "AZaz09_./+-,:@%";
  EXPECT_EQ(shell_word(safe), safe);
}

TEST(ShellWord, AnyOtherCharacterQuotesTheWord) {
  EXPECT_EQ(shell_word("a;b"), "'a;b'");
  EXPECT_EQ(shell_word("~x"), "'~x'");
  EXPECT_EQ(shell_word(std::string("a\0b", 3)), std::string("'a\0b'", 5));
}

TEST(ShellWord, ConverterCommandQuotesOnlyTheBase) {
  EXPECT_EQ(converter_command("conv -q", "my list", "St. \\\"Jo\\\""),
            "conv -q 'my list' \"St. \\\"Jo\\\"\"");
}

}  // namespace
