#include "menu/wardunits.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

/// A fresh scratch directory for one test.
fs::path scratch_dir(const std::string& name) {
  fs::path dir = fs::path(testing::TempDir()) / ("wardunits_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

void write_file(const fs::path& path, const std::string& text) {
  FILE* fp = std::fopen(path.c_str(), "w");
  ASSERT_NE(fp, nullptr);
  std::fputs(text.c_str(), fp);
  std::fclose(fp);
}

const UnitName* unit(int i) { return static_cast<const UnitName*>(UnitNames->item[i]); }

TEST(WardUnits, FieldsTakenAsWrittenAndShortLinesSkipped) {
  fs::path file = scratch_dir("fields") / "units.txt";
  write_file(file,
             "# Stake units\n"
             " #Hash|H|Hash Ward\n"
             "Only|two\n"
             "Trail|T|\n"
             "Gap||Gap Ward\n"
             "Five|F|Five Ward|x|y\n"
             "\n"
             "A | B | C\n");
  read_ward_units_from(file.c_str());
  ASSERT_NE(UnitNames, nullptr);
  ASSERT_EQ(UnitNames->nitems, 5);
  EXPECT_EQ(unit(0)->name, " #Hash");
  EXPECT_EQ(unit(0)->abbr, "H");
  EXPECT_EQ(unit(0)->display, "Hash Ward");
  EXPECT_EQ(unit(1)->name, "Trail");
  EXPECT_EQ(unit(1)->abbr, "T");
  EXPECT_EQ(unit(1)->display, "");
  EXPECT_EQ(unit(2)->name, "Gap");
  EXPECT_EQ(unit(2)->abbr, "");
  EXPECT_EQ(unit(2)->display, "Gap Ward");
  EXPECT_EQ(unit(3)->name, "Five");
  EXPECT_EQ(unit(3)->abbr, "F");
  EXPECT_EQ(unit(3)->display, "Five Ward");
  EXPECT_EQ(unit(4)->name, "A ");
  EXPECT_EQ(unit(4)->abbr, " B ");
  EXPECT_EQ(unit(4)->display, " C");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(unit(i)->orgs, nullptr);
}

TEST(WardUnits, ListDoublesWhenFull) {
  fs::path dir = scratch_dir("growth");
  std::string text;
  for (int i = 1; i <= 16; ++i) text += "Unit " + std::to_string(i) + "|u" + std::to_string(i) + "|U\n";
  write_file(dir / "sixteen.txt", text);
  read_ward_units_from((dir / "sixteen.txt").c_str());
  EXPECT_EQ(UnitNames->nitems, 16);
  EXPECT_EQ(UnitNames->maxitems, 16);

  for (int i = 17; i <= 20; ++i) text += "Unit " + std::to_string(i) + "|u" + std::to_string(i) + "|U\n";
  write_file(dir / "twenty.txt", text);
  read_ward_units_from((dir / "twenty.txt").c_str());
  ASSERT_EQ(UnitNames->nitems, 20);
  EXPECT_EQ(UnitNames->maxitems, 32);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(unit(i)->name, "Unit " + std::to_string(i + 1));
    EXPECT_EQ(unit(i)->abbr, "u" + std::to_string(i + 1));
  }
}

/// Runs read_ward_units with `dir` as the current directory.
void read_in(const fs::path& dir) {
  fs::path here = fs::current_path();
  fs::current_path(dir);
  read_ward_units();
  fs::current_path(here);
}

TEST(WardUnits, ReadsFixedNameAndToleratesMissingFile) {
  fs::path dir = scratch_dir("cwd");
  write_file(dir / "wardunits.txt", "First Ward|1st|First\n");
  testing::internal::CaptureStderr();
  read_in(dir);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(UnitNames->nitems, 1);
  EXPECT_EQ(unit(0)->display, "First");

  fs::remove(dir / "wardunits.txt");
  testing::internal::CaptureStderr();
  read_in(dir);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Couldn't open wardunits.txt file\n");
  ASSERT_NE(UnitNames, nullptr);
  EXPECT_EQ(UnitNames->nitems, 0);
  EXPECT_EQ(UnitNames->maxitems, 16);

  // A folder of that name is no unit names file either.
  fs::create_directory(dir / "wardunits.txt");
  testing::internal::CaptureStderr();
  read_in(dir);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Couldn't open wardunits.txt file\n");
  ASSERT_NE(UnitNames, nullptr);
  EXPECT_EQ(UnitNames->nitems, 0);
}

}  // namespace
