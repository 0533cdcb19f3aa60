// The paper: A4 and Letter by name, and the system's default paper from
// the environment and its papersize file.

#include "book/paper.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "support/files.h"

namespace {

TEST(Paper, A4AndLetterByNameInAnyCase) {
  std::optional<Paper> a4 = paper_by_name("A4");
  ASSERT_TRUE(a4);
  EXPECT_EQ(a4->name, "a4");
  EXPECT_NEAR(a4->width, 595.28, 0.01);
  EXPECT_NEAR(a4->height, 841.89, 0.01);
  std::optional<Paper> letter = paper_by_name("letter");
  ASSERT_TRUE(letter);
  EXPECT_EQ(letter->width, 612);
  EXPECT_EQ(letter->height, 792);
  EXPECT_FALSE(paper_by_name("a3"));
  EXPECT_FALSE(paper_by_name(""));
}

TEST(Paper, SystemPaperFromThePapersizeFileElseA4) {
  testsupport::TempFolder f;
  unsetenv("PAPERSIZE");
  struct Case {
    const char* file;  ///< the papersize file's text; null for no file
    const char* name;
  };
  const Case cases[] = {
      {"letter\n", "letter"},
      {"bogus\n", "a4"},  // a paper nobody knows
      {nullptr, "a4"},
  };
  for (const Case& c : cases) {
    if (c.file != nullptr) f.write("papersize", c.file);
    std::string conf = c.file != nullptr ? f.path("papersize") : f.path("none");
    setenv("PAPERCONF", conf.c_str(), 1);
    Paper paper = system_paper();
    EXPECT_EQ(paper.name, c.name) << (c.file != nullptr ? c.file : "no file");
  }
  setenv("PAPERSIZE", "Letter", 1);
  EXPECT_EQ(system_paper().width, 612);
  unsetenv("PAPERSIZE");
  unsetenv("PAPERCONF");
}

}  // namespace
