#include <gtest/gtest.h>

#include <climits>

#include "raster/MulDiv.h"
#include "raster/Random.h"

namespace kestrava {
namespace {

struct MulDivCase {
  int a, b, c, expected;
};

TEST(MulDiv, RoundsToNearestWithHalvesAwayFromZero) {
  const MulDivCase cases[] = {
      {640, 50, 100, 320},
      {1, 50, 100, 1},
      {-1, 50, 100, -1},
      {5, 1, 2, 3},
      {-5, 1, 2, -3},
      {5, -1, 2, -3},
      {5, 1, -2, -3},
      {-5, -1, -2, -3},
      {7, 1, 3, 2},
      {8, 1, 3, 3},
      {-8, 1, 3, -3},
      {640, 4, 90, 28},
      {480, 4, 90, 21},
      {49, 1, 100, 0},
      {0, 5, 7, 0},
      // The 64-bit product does not overflow where a 32-bit one would.
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
      {1 << 20, 1 << 20, 1 << 10, 1 << 30},
  };
  for (const MulDivCase& t : cases)
    EXPECT_EQ(MulDiv(t.a, t.b, t.c), t.expected) << t.a << " * " << t.b << " / " << t.c;
}

TEST(MulDiv, ZeroDivisorAndOverflowGiveMinusOne) {
  EXPECT_EQ(MulDiv(7, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, 2, 1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, 1, 1), INT_MIN);
}

TEST(Random, FollowsTheFixedGeneratorSequence) {
  // Worked out by hand from seed = seed * 134775813 + 1 and the upper half of seed * n.
  SetRandSeed(0);
  EXPECT_EQ(Random(100), 0u);
  EXPECT_EQ(RandSeed(), 1u);
  EXPECT_EQ(Random(100), 3u);
  EXPECT_EQ(Random(100), 86u);
  EXPECT_EQ(Random(1000), 202u);
  EXPECT_EQ(Random(0), 0u);  // still advances the seed
  EXPECT_EQ(RandSeed(), 1172187917u);
  EXPECT_EQ(Random(7), 4u);
  EXPECT_EQ(Random(4294967295u), 1368768586u);

  SetRandSeed(12345);
  EXPECT_EQ(Random(10), 3u);
  EXPECT_EQ(Random(10), 2u);
  EXPECT_EQ(Random(10), 0u);
}

TEST(Random, ReseedingRepeatsThePattern) {
  SetRandSeed(640 * 480);
  uint32_t first[16];
  for (uint32_t& v : first)
    v = Random(50);
  SetRandSeed(640 * 480);
  for (uint32_t v : first)
    EXPECT_EQ(Random(50), v);
}

}  // namespace
}  // namespace kestrava
