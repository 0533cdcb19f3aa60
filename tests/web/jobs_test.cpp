// Which finished jobs go when the bounds are passed.

#include <gtest/gtest.h>

#include "web/jobs.h"

namespace {

TEST(WebJobs, FinishedJobsPastTheBoundsGoOldestFirst) {
  constexpr uint64_t kMB = 1 << 20;
  struct Case {
    std::vector<uint64_t> bytes;  // newest first
    std::vector<size_t> gone;
  } cases[] = {
      {{}, {}},
      {{kMB}, {}},
      {std::vector<uint64_t>(8, kMB), {}},
      {std::vector<uint64_t>(10, kMB), {8, 9}},
      // The newest stays whatever its size; past the bytes, every older one goes.
      {{2048 * kMB, kMB}, {1}},
      {{600 * kMB, 400 * kMB, 30 * kMB, kMB}, {2, 3}},
      {{600 * kMB, 424 * kMB, kMB}, {2}},
  };
  for (const Case& c : cases) EXPECT_EQ(over_bounds(c.bytes), c.gone) << c.bytes.size();
}

}  // namespace
