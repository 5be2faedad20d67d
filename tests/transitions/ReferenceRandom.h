#pragma once

// The effects' generator written out again for the tests, so that a test can tell which numbers a
// frame must have drawn from a given seed, in which order.

#include <cstdint>

namespace kestrava::test {

class TReferenceRandom {
 public:
  explicit TReferenceRandom(uint32_t seed) : seed_(seed) {}

  // seed = seed * 134775813 + 1, then the upper half of seed * n.
  int operator()(uint32_t n) {
    seed_ = seed_ * 134775813u + 1u;
    return int((uint64_t{seed_} * n) >> 32);
  }
  // First draw minus second draw.
  int Difference(uint32_t n) {
    const int first = (*this)(n);
    return first - (*this)(n);
  }
  uint32_t Seed() const { return seed_; }

 private:
  uint32_t seed_;
};

}  // namespace kestrava::test
