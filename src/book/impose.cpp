#include "book/impose.h"

size_t booklet_pages(size_t pages) { return (pages + 3) / 4 * 4; }

std::vector<SheetSide> booklet_sides(size_t pages) {
  size_t n = booklet_pages(pages);
  std::vector<SheetSide> sides;
  for (size_t k = 0; k < n / 2; ++k) {
    size_t outer = n - 1 - k;
    sides.push_back(k % 2 == 0 ? SheetSide{outer, k} : SheetSide{k, outer});
  }
  return sides;
}
