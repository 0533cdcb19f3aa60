// Setting text in the fonts fontconfig finds: a block measures a line a
// paragraph when its paragraphs fit the column, a paragraph too wide for it
// wraps (a word too long for a line is broken, never cut), and drawing a
// piece draws the lines that measuring counted.

#include "book/typeset.h"

#include <gtest/gtest.h>

#include <string>

#include "book/geometry.h"

namespace {

/// A column of A4's two.
const Geometry kA4 = page_geometry(595.28, 841.89);

TEST(Typesetter, ShortParagraphsTakeALineEachLongOnesWrap) {
  Typesetter ts(kA4, "DejaVu Sans");
  Block block;
  block.space_before = 0.5f;
  block.paragraphs = {{"ABERNATHY, Gordon & Linda", Style::kBody, 9, 0},
                      {"Sarah, Peter", Style::kBody, 0, 1.5f}};
  BlockMetrics m;
  ts.measure(block, &m);
  ASSERT_EQ(m.lines.size(), 2u);
  EXPECT_DOUBLE_EQ(m.space_before, 0.5 * kA4.body_size);
  EXPECT_GT(m.lines[0], kA4.body_size);  // a line is taller than its text's size
  EXPECT_LT(m.lines[0], 2 * kA4.body_size);
  EXPECT_DOUBLE_EQ(m.lines[0], m.lines[1]);

  // Forty children's names, and a name with no space in it, each wider
  // than a column.
  std::string children;
  for (int i = 0; i < 40; ++i) children += (i > 0 ? ", " : "") + std::string("Bartholomew");
  block.paragraphs = {{children, Style::kBody, 0, 1.5f},
                      {std::string(120, 'W'), Style::kBody, 120, 0}};
  ts.measure(block, &m);
  EXPECT_GT(m.lines.size(), 12u);

  // Drawing every line, or a piece of them, on a surface that keeps nothing.
  cairo_surface_t* surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
  cairo_t* cr = cairo_create(surface);
  ts.draw(cr, block, 0, static_cast<uint32_t>(m.lines.size()), kA4.column_x(0), kA4.body_top);
  ts.draw(cr, block, 3, 5, kA4.column_x(1), kA4.body_top);
  EXPECT_GT(ts.draw_text(cr, "Ward Directory", Style::kCoverTitle, PANGO_ALIGN_CENTER, 0,
                         kA4.width, 0),
            2 * kA4.body_size);
  EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
  double x0, y0, x1, y1;
  cairo_recording_surface_ink_extents(surface, &x0, &y0, &x1, &y1);
  EXPECT_GE(x0, kA4.column_x(0) - 1);  // nothing drawn left of the first column
  EXPECT_LE(x0 + x1, kA4.width);        // nor past the page
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

}  // namespace
