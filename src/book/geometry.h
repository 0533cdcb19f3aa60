#pragma once
// The measures of a page of the booklet: margins, the two columns, the
// size of the text, the header and footer lines.

/// A page's measures, in points (1/72 inch) from its top left corner.
struct Geometry {
  double width;        ///< the page
  double height;
  double margin;       ///< left and right, and above the header and below the footer
  double body_top;     ///< where the columns start
  double body_bottom;  ///< where they end
  int columns;
  double gap;         ///< between two columns
  double body_size;   ///< the size of the entries' text; every other size follows it

  double column_width() const { return (width - 2 * margin - (columns - 1) * gap) / columns; }
  double column_height() const { return body_bottom - body_top; }
  /// The left edge of column `column`, from 0.
  double column_x(int column) const { return margin + column * (column_width() + gap); }
};

/// The measures of a page `width` by `height` points: two columns, text of
/// 9 points on a page at least 480 points wide (A4, Letter) and of 7.5
/// points on a narrower one (half a sheet of a booklet), margins and the
/// header and footer in proportion.
Geometry page_geometry(double width, double height);
