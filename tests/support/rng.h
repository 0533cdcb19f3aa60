#pragma once
// A small deterministic generator for tests that build many colliding
// records.

#include <cstdint>

#include "model/kinroll.h"

namespace testsupport {

/// A linear congruential generator: the same seed gives the same numbers.
struct Rng {
  uint32_t s;
  /// A number from 0 to n - 1.
  uint32_t next(uint32_t n) {
    s = s * 1664525u + 1013904223u;
    return (s >> 8) % n;
  }
};

/// One of the `n` texts of `table`, or now and then the absent text.
inline Text pick(Rng& r, const char* const* table, uint32_t n) {
  uint32_t i = r.next(n + 1);
  return i == n ? Text() : Text(table[i]);
}

}  // namespace testsupport
