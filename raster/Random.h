#pragma once

#include <cstdint>

namespace kestrava {

// The process-wide pseudo-random generator that the effects draw from. Its sequence is part of
// the system's behaviour (some effects reseed it to repeat a pattern), so it is a fixed linear
// congruential generator, not a library engine.
//
// Each draw sets seed = seed * 134775813 + 1 (mod 2^32); Random(n) is the upper 32 bits of the
// 64-bit product of the new seed and n, so 0..n-1 (0 when n is 0, and the seed still advances).
uint32_t Random(uint32_t n);

// Reads and sets the seed. The seed starts from the clock (milliseconds since midnight).
uint32_t RandSeed();
void SetRandSeed(uint32_t seed);

// Reseeds from the clock, as at program start.
void Randomize();

}  // namespace kestrava
