#include "book/geometry.h"

Geometry page_geometry(double width, double height) {
  double body = width >= 480 ? 9 : 7.5;
  double margin = body * 4;  // 36 points, half an inch, at 9 points
  // The header's and the footer's lines take three times the text's size
  // each, between the margin and the columns.
  return {width, height, margin, margin + 3 * body, height - margin - 3 * body, 2, 2 * body, body};
}
