#include "menu/documents.h"

#include <gtest/gtest.h>

#include <string>

TEST(FindDocument, FindsTheDocumentOfAListOption) {
  const Document* doc = find_document(220);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(std::string(doc->base), "wardph");
  EXPECT_EQ(&document(220), doc);
  EXPECT_EQ(find_document(22)->file("x"), "x.txt");
  EXPECT_EQ(find_document(290)->file("x"), "x");
}

TEST(FindDocument, NoDocumentForAnOptionThatWritesNone) {
  for (int option : {0, 1, 7, 101, 120, 201, 301, 700, 800}) {
    EXPECT_EQ(find_document(option), nullptr) << option;
  }
}
