#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/FileBytes.h"
#include "runtime/core/MovieCard.h"

namespace kestrava {
namespace {

const std::filesystem::path kMovies =
    std::filesystem::path(KESTRAVA_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "inputs" / "swfheader";

TEST(MovieCard, SaysWhatTheHeaderSays) {
  EXPECT_EQ(MovieCardText(1, 3, ReadFileBytes(kMovies / "plain.swf")),
            "Movie 2 of 3\nFrame size 550 x 400\n42 frames at 24 per second\n"
            "(movies are not played yet)");
  EXPECT_EQ(MovieCardText(0, 1, ReadFileBytes(kMovies / "short.swf")),
            "Movie 1 of 1\nthe movie header ends early\n(movies are not played yet)");
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
