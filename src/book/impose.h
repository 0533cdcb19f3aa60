#pragma once
// The order of a booklet's pages on its sheets: printed on both sides,
// stacked and folded once, the sheets read as the pages run.

#include <cstddef>
#include <vector>

/// One side of a landscape sheet: the pages on its left and right halves,
/// numbered from 0.
struct SheetSide {
  size_t left;
  size_t right;
};

/// The pages `pages` made a booklet: a multiple of four, with blank pages
/// added after the last.
size_t booklet_pages(size_t pages);

/// The sides of the sheets of a booklet of booklet_pages(`pages`) pages, n
/// of them, front then back of each sheet from the outermost: side k holds
/// pages n - 1 - k and k on its front (k even), k and n - 1 - k on its back
/// (k odd), so that the front of the first sheet holds the last page and
/// the first. A page at or past `pages` is one of the blank pages added.
std::vector<SheetSide> booklet_sides(size_t pages);
