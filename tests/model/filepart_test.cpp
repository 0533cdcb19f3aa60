#include "model/filepart.h"

#include <gtest/gtest.h>

namespace {

TEST(FilePart, EverySlashBecomesAnUnderscore) {
  EXPECT_EQ(file_part("../x/y"), ".._x_y");
  EXPECT_EQ(file_part("plain"), "plain");
  EXPECT_EQ(file_part(""), "");
}

}  // namespace
