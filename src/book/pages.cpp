#include "book/pages.h"

namespace {

/// Rounding room, in points: a block that overshoots the column by less
/// still fits.
constexpr double kSlack = 0.01;

}  // namespace

PagePlan plan_pages(size_t count, int columns, double column_height,
                    const std::function<void(size_t, BlockMetrics*)>& measure) {
  PagePlan plan;
  if (count == 0) return plan;
  uint32_t column = 0;
  double y = 0;  // the top of the column's free room
  plan.first.push_back(0);
  auto next_column = [&] {
    y = 0;
    if (++column < static_cast<uint32_t>(columns)) return;
    column = 0;
    plan.first.push_back(plan.pieces.size());
  };

  BlockMetrics metrics;
  for (size_t i = 0; i < count; ++i) {
    metrics.space_before = 0;
    metrics.lines.clear();
    measure(i, &metrics);
    if (metrics.lines.empty()) continue;
    double height = 0;
    for (double line : metrics.lines) height += line;
    if (y > 0 && y + metrics.space_before + height > column_height + kSlack) next_column();
    if (y > 0) y += metrics.space_before;

    auto block = static_cast<uint32_t>(i);
    uint32_t first = 0;
    double top = y;
    for (uint32_t k = 0; k < metrics.lines.size(); ++k) {
      if (k > first && y + metrics.lines[k] > column_height + kSlack) {
        plan.pieces.push_back({block, first, k, column, top});
        next_column();
        first = k;
        top = 0;
      }
      y += metrics.lines[k];
    }
    plan.pieces.push_back({block, first, static_cast<uint32_t>(metrics.lines.size()), column, top});
  }
  return plan;
}
