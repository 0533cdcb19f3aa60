#pragma once
// Laying blocks into pages of columns: in order, column after column, each
// block whole in one column when it fits in one. Only a block taller than a
// whole column is split, between two of its lines. One walk over the
// blocks; each block is measured once, when its turn comes.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

/// The heights of a block as set: its lines, in points, in order, and the
/// space above it, which a column's first block leaves out.
struct BlockMetrics {
  double space_before = 0;
  std::vector<double> lines;
};

/// A piece of a block on a page: the block's lines [first_line,
/// end_line), the first one's top `y` points below the top of column
/// `column`.
struct Piece {
  uint32_t block;
  uint32_t first_line;
  uint32_t end_line;
  uint32_t column;
  double y;
};

/// The pages of a run of blocks: page p holds the pieces [first[p],
/// first[p + 1]) of `pieces`, the last page those from first.back() on.
struct PagePlan {
  std::vector<Piece> pieces;
  std::vector<size_t> first;

  size_t page_count() const { return first.size(); }
  /// The pieces of page `page`, from 0: [begin, end) of `pieces`.
  size_t begin(size_t page) const { return first[page]; }
  size_t end(size_t page) const { return page + 1 < first.size() ? first[page + 1] : pieces.size(); }
};

/// Lays the blocks 0 to `count` - 1 into pages of `columns` columns,
/// `column_height` points high, in order: `measure`(i, m) fills `*m` with
/// block i's heights. A block goes whole below the block before it when it
/// fits there, else at the top of the next column, the next page's first
/// after the last column. A block taller than a column starts at the top
/// of one and goes on, line by line, in the next; a line taller than a
/// column stands alone in its column. No pages for no blocks; a block of no
/// lines takes no room and gives no piece.
PagePlan plan_pages(size_t count, int columns, double column_height,
                    const std::function<void(size_t, BlockMetrics*)>& measure);
