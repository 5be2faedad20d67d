// The smooth resampling of pictures as they are prepared: an area filter when shrinking, linear
// between pixels when enlarging, a row at a time.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "raster/Bitmap.h"
#include "saver/SmoothRows.h"

namespace kestrava {
namespace {

// A 24-bit picture whose pixel (x, y) has the grey level f(x, y).
TBitmap Grey(int width, int height, const std::function<uint8_t(int, int)>& f) {
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c)
        bitmap.ScanLine(y)[x * 3 + c] = f(x, y);
  return bitmap;
}

// The target rows from firstRow on, columns [firstColumn, firstColumn + columns), blue only.
std::vector<std::vector<int>> Resample(const TBitmap& picture, int width, int height,
                                       int firstColumn, int columns, int firstRow = 0) {
  TBitmapRows rows(picture);
  TSmoothRows smooth(rows, width, height, firstColumn, columns);
  std::vector<std::vector<int>> out;
  for (int y = firstRow; y < height; ++y) {
    const uint8_t* row = smooth.Row(y);
    std::vector<int> levels;
    for (int x = 0; x < columns; ++x)
      levels.push_back(row[x * 3]);
    out.push_back(levels);
  }
  return out;
}

TEST(SmoothRows, AFlatColourStaysExactlyFlatAtAnySize) {
  struct Case {
    int width, height, toWidth, toHeight;
  };
  const Case cases[] = {{7, 5, 3, 2}, {97, 61, 31, 20}, {3, 2, 10, 7},
                        {1, 1, 5, 4}, {5, 5, 5, 5},     {40, 3, 7, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.width << "x" << c.height << " to " << c.toWidth << "x" << c.toHeight);
    const auto out = Resample(Grey(c.width, c.height, [](int, int) { return 173; }), c.toWidth,
                              c.toHeight, 0, c.toWidth);
    for (const auto& row : out)
      for (const int level : row)
        ASSERT_EQ(level, 173);
  }
}

TEST(SmoothRows, ShrinkingAveragesWhatNearestNeighbourWouldAlias) {
  // Black and white pixels in a checkerboard, halved: every target pixel covers two of each.
  const auto out =
      Resample(Grey(8, 6, [](int x, int y) { return (x + y) % 2 ? 255 : 0; }), 4, 3, 0, 4);
  for (const auto& row : out)
    for (const int level : row)
      EXPECT_NEAR(level, 128, 1);
  // A third: a white column every third pixel is a third white in each target pixel.
  const auto thirds = Resample(Grey(9, 3, [](int x, int) { return x % 3 ? 0 : 255; }), 3, 1, 0, 3);
  EXPECT_EQ(thirds[0], (std::vector<int>{85, 85, 85}));
}

TEST(SmoothRows, EnlargingRampsBetweenPixelsWithExactEnds) {
  const auto out = Resample(Grey(2, 1, [](int x, int) { return x ? 255 : 0; }), 8, 1, 0, 8);
  const std::vector<int>& row = out[0];
  EXPECT_EQ(row.front(), 0);
  EXPECT_EQ(row.back(), 255);
  for (size_t x = 1; x < row.size(); ++x)
    EXPECT_GE(row[x], row[x - 1]) << x;
  // Target pixel 3 has its centre three-eighths of the way from the left pixel to the right.
  EXPECT_NEAR(row[3], 96, 1);
}

TEST(SmoothRows, ACroppedWindowEqualsThatPartOfTheWholeResult) {
  const TBitmap picture =
      Grey(50, 40, [](int x, int y) { return uint8_t((x * 7 + y * 13) % 256); });
  for (const auto& [width, height] : {std::pair{23, 17}, std::pair{120, 90}}) {
    SCOPED_TRACE(width);
    const auto whole = Resample(picture, width, height, 0, width);
    const auto window = Resample(picture, width, height, 5, width - 9, 4);
    for (size_t y = 0; y < window.size(); ++y)
      for (size_t x = 0; x < window[y].size(); ++x)
        ASSERT_EQ(window[y][x], whole[y + 4][x + 5]) << x << "," << y;
  }
}

}  // namespace
}  // namespace kestrava
