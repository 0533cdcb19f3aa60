// Laying blocks into pages of columns, and a booklet's pages on its
// sheets.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "book/impose.h"
#include "book/pages.h"

namespace {

/// The pieces of `plan` as "page:column:block:first-end@y" texts.
std::vector<std::string> pieces(const PagePlan& plan) {
  std::vector<std::string> out;
  for (size_t page = 0; page < plan.page_count(); ++page) {
    for (size_t i = plan.begin(page); i < plan.end(page); ++i) {
      const Piece& p = plan.pieces[i];
      out.push_back(std::to_string(page) + ":" + std::to_string(p.column) + ":" +
                    std::to_string(p.block) + ":" + std::to_string(p.first_line) + "-" +
                    std::to_string(p.end_line) + "@" + std::to_string(static_cast<int>(p.y)));
    }
  }
  return out;
}

/// Plans blocks of the line heights `blocks`, each with 5 points of space
/// above, into two columns 100 points high; counts the measures.
PagePlan plan(const std::vector<std::vector<double>>& blocks, int* measured = nullptr) {
  return plan_pages(blocks.size(), 2, 100, [&](size_t i, BlockMetrics* m) {
    if (measured != nullptr) ++*measured;
    m->space_before = 5;
    m->lines = blocks[i];
  });
}

TEST(PlanPages, BlocksStayWholeColumnAfterColumnPageAfterPage) {
  EXPECT_EQ(plan({}).page_count(), 0u);
  int measured = 0;
  PagePlan p = plan({{40}, {20, 20}, {30}, {60}, {50}, {45}, {100}}, &measured);
  EXPECT_EQ(measured, 7);  // each block once
  EXPECT_EQ(pieces(p), (std::vector<std::string>{
                           "0:0:0:0-1@0", "0:0:1:0-2@45",  // 40 + 5 + 40 = 85
                           "0:1:2:0-1@0", "0:1:3:0-1@35",  // 30 + 5 + 60 = 95
                           "1:0:4:0-1@0", "1:0:5:0-1@55",  // exactly full: 50 + 5 + 45
                           "1:1:6:0-1@0"}));               // a whole column
}

TEST(PlanPages, OnlyABlockTallerThanAColumnIsSplitBetweenLines) {
  PagePlan p = plan({{30}, {40, 40, 40}, {10}, {}, {150}, {10}});
  EXPECT_EQ(pieces(p), (std::vector<std::string>{
                           "0:0:0:0-1@0",
                           "0:1:1:0-2@0", "1:0:1:2-3@0",  // from the top of a column
                           "1:0:2:0-1@45",                // and the next goes on below it
                           // the empty block takes no room
                           "1:1:4:0-1@0",                 // a line taller than a column
                           "2:0:5:0-1@0"}));
}

TEST(BookletSides, EveryPageOnceInFoldedOrder) {
  EXPECT_EQ(booklet_pages(1), 4u);
  EXPECT_EQ(booklet_pages(4), 4u);
  EXPECT_EQ(booklet_pages(5), 8u);
  std::vector<SheetSide> eight = booklet_sides(7);
  std::vector<std::pair<size_t, size_t>> got;
  for (const SheetSide& s : eight) got.emplace_back(s.left, s.right);
  EXPECT_EQ(got, (std::vector<std::pair<size_t, size_t>>{{7, 0}, {1, 6}, {5, 2}, {3, 4}}));

  for (size_t pages = 1; pages <= 41; ++pages) {
    std::vector<SheetSide> sides = booklet_sides(pages);
    size_t n = booklet_pages(pages);
    ASSERT_EQ(sides.size(), n / 2);
    std::set<size_t> seen;
    for (size_t k = 0; k < sides.size(); ++k) {
      seen.insert(sides[k].left);
      seen.insert(sides[k].right);
      EXPECT_EQ(sides[k].left + sides[k].right, n - 1);  // facing across the fold
    }
    EXPECT_EQ(seen.size(), n);
    EXPECT_EQ(*seen.rbegin(), n - 1);
  }
}

}  // namespace
