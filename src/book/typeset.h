#pragma once
// Setting the booklet's text with Pango on Cairo: the fonts of the styles,
// blocks measured line by line for the page plan and drawn a piece at a
// time, and the single texts of the cover, headers and footers. Text is
// set with outline metrics, unhinted, so that it measures the same on any
// surface and the PDF shows it as measured.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdint>
#include <string_view>

#include "book/content.h"
#include "book/geometry.h"
#include "book/pages.h"

/// The fonts of the booklet and the layout that sets its text.
class Typesetter {
 public:
  /// Sets text for pages of `geometry` in the fontconfig family `family`
  /// ("DejaVu Sans"; fontconfig substitutes a font that has the letters
  /// when it is missing). Styles are sized in proportion to the geometry's
  /// body size.
  Typesetter(const Geometry& geometry, const char* family);
  ~Typesetter();
  Typesetter(const Typesetter&) = delete;
  Typesetter& operator=(const Typesetter&) = delete;

  /// Stores in `*metrics` the heights of the lines of `block` set in a
  /// column, each paragraph wrapped to the column's width less its indent
  /// (at a word, else anywhere in a word too long for the line), and the
  /// space above the block.
  void measure(const Block& block, BlockMetrics* metrics);

  /// Draws the lines [first, end) of `block`, set as measure() sets them,
  /// on `cr` with the top of line `first` at (`x`, `y`).
  void draw(cairo_t* cr, const Block& block, uint32_t first, uint32_t end, double x, double y);

  /// Draws the UTF-8 `text` in `style` (`italic` for the slanted face) on
  /// `cr`, wrapped to `width` points and aligned within it as `align` says,
  /// its top at (`x`, `y`). Returns its height in points.
  double draw_text(cairo_t* cr, std::string_view text, Style style, PangoAlignment align,
                   double x, double width, double y, bool italic = false);

 private:
  /// Readies the layout for `paragraph` in a column.
  void set_paragraph(const Paragraph& paragraph);
  /// The size in points of `style`.
  double size_of(Style style) const;

  Geometry geometry_;
  PangoFontMap* font_map_;
  PangoContext* context_;
  PangoLayout* layout_;
  PangoFontDescription* font_;
};
