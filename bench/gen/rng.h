#pragma once
// The generator's own pseudo-random numbers. Library distributions
// (std::uniform_int_distribution and friends) may give other numbers with
// another standard library, so the generated printouts would change with
// the compiler; this one gives the same sequence everywhere.

#include <cstdint>

namespace wardgen {

/// SplitMix64: a 64-bit state advanced by a constant and scrambled. The same
/// seed always gives the same sequence.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}

  uint64_t next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }

  /// A number in [0, n); 0 when n <= 1. The modulo bias is below 2^-40 for
  /// the small ranges used here.
  int below(int n) { return n <= 1 ? 0 : static_cast<int>(next() % static_cast<uint64_t>(n)); }

  /// A number in [lo, hi].
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }

  /// True with a probability of `per_mille` / 1000.
  bool chance(int per_mille) { return below(1000) < per_mille; }

 private:
  uint64_t state_;
};

}  // namespace wardgen
