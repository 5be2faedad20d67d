#include <gtest/gtest.h>

#include "runtime/core/MovieCard.h"

namespace kestrava {
namespace {

TEST(MovieCard, DrawsWhiteTextOnBlack) {
  const TBitmap card = DrawTextCard("Movie 1 of 1", 320, 200);
  EXPECT_EQ(card.Width(), 320);
  // Some white text on black.
  bool lit = false;
  for (int y = 0; y < card.Height() && !lit; ++y)
    for (int x = 0; x < card.Width() && !lit; ++x)
      lit = card.PixelAt(x, y) != 0;
  EXPECT_TRUE(lit);
  EXPECT_EQ(card.PixelAt(0, 0), 0u);
}

}  // namespace
}  // namespace kestrava
