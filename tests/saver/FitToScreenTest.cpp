#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>

#include "PrepareTestSupport.h"
#include "raster/Bitmap.h"
#include "raster/Rect.h"
#include "saver/FitToScreen.h"

namespace kestrava {
namespace {

using prepare_test::PlainFit;
using prepare_test::SamePixels;

constexpr TScreenSize kScreen{1024, 768};

// Every pixel a colour that is not black, different along both axes, so that a misplaced or
// dropped row or column shows.
TBitmap Pattern(int width, int height, TPixelFormat format = TPixelFormat::pf24bit) {
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      row[x * 3 + 0] = uint8_t(1 + x % 251);
      row[x * 3 + 1] = uint8_t(1 + y % 241);
      row[x * 3 + 2] = uint8_t(1 + (x / 251 + y / 241 * 7) % 200);
    }
  }
  bitmap.SetPixelFormat(format);
  return bitmap;
}

// The smallest rectangle holding every pixel that is not pure black.
TRect NonBlackExtent(const TBitmap& bitmap) {
  TRect extent{bitmap.Width(), bitmap.Height(), 0, 0};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if ((bitmap.PixelAt(x, y) & 0xFFFFFF) != 0) {
        extent.Left = std::min(extent.Left, x);
        extent.Top = std::min(extent.Top, y);
        extent.Right = std::max(extent.Right, x + 1);
        extent.Bottom = std::max(extent.Bottom, y + 1);
      }
  return extent;
}

struct TPlacementCase {
  const char* Name;
  int Width, Height;
  TRect Expected;  // on the 1024 x 768 screen
};

void PrintTo(const TPlacementCase& c, std::ostream* out) {
  *out << c.Name;
}

const TPlacementCase kPlacements[] = {
    {"fits, centred", 800, 600, {112, 84, 912, 684}},
    {"same shape, larger", 1600, 1200, {0, 0, 1024, 768}},
    {"wide", 2000, 1000, {0, 128, 1024, 640}},
    {"slightly wide, height rounded down", 1030, 500, {0, 135, 1024, 632}},
    {"tall", 600, 1000, {282, 0, 742, 768}},
    {"exactly the screen", 1024, 768, {0, 0, 1024, 768}},
    {"odd margins, extra pixel right and bottom", 801, 601, {111, 83, 912, 684}},
    {"one pixel short each way", 1023, 767, {0, 0, 1023, 767}},
    {"one column too wide: 767 rows, the free row at the bottom", 1025, 768, {0, 0, 1024, 767}},
    {"twice the screen's shape exactly", 2048, 1536, {0, 0, 1024, 768}},
    {"a single pixel", 1, 1, {511, 383, 512, 384}},
    {"too thin to keep a row", 5000, 2, {0, 384, 1024, 384}},
};

class FitToScreenPlacement : public testing::TestWithParam<TPlacementCase> {};

TEST_P(FitToScreenPlacement, TargetRectangle) {
  const TPlacementCase& c = GetParam();
  EXPECT_EQ(ScreenPlacement(c.Width, c.Height, kScreen), c.Expected);
}

// The border is exactly black, the picture covers exactly its rectangle, and its pixels are the
// canvas's stretch of the source; a picture that fits is copied unscaled.
TEST_P(FitToScreenPlacement, PixelsOnTheScreen) {
  const TPlacementCase& c = GetParam();
  const TBitmap source = Pattern(c.Width, c.Height);
  TBitmap work = source;
  FitToScreen(work, kScreen);
  ASSERT_EQ(work.Width(), kScreen.Width);
  ASSERT_EQ(work.Height(), kScreen.Height);
  EXPECT_EQ(work.PixelFormat(), TPixelFormat::pf24bit);
  if (c.Expected.IsEmpty()) {
    EXPECT_TRUE(NonBlackExtent(work).IsEmpty());
    return;
  }
  EXPECT_EQ(NonBlackExtent(work), c.Expected);
  EXPECT_TRUE(SamePixels(work, PlainFit(source, kScreen, c.Expected)));
  if (c.Width <= kScreen.Width && c.Height <= kScreen.Height) {
    EXPECT_EQ(work.PixelAt(c.Expected.Left, c.Expected.Top), source.PixelAt(0, 0));
    EXPECT_EQ(work.PixelAt(c.Expected.Right - 1, c.Expected.Bottom - 1),
              source.PixelAt(c.Width - 1, c.Height - 1));
  }
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, FitToScreenPlacement, testing::ValuesIn(kPlacements));

// Fit enlarges to the screen's width or height; Fill covers the screen and crops the overflow
// evenly, an odd pixel more on the left or top. The screen is 1024 x 768.
TEST(FitToScreen, FitAndFillPlaceEveryShape) {
  struct Case {
    const char* what;
    int width, height;
    TRect fit, fill;
  };
  const Case cases[] = {
      {"small, the screen's shape", 512, 384, {0, 0, 1024, 768}, {0, 0, 1024, 768}},
      {"small and wide", 400, 100, {0, 256, 1024, 512}, {-1024, 0, 2048, 768}},
      {"small and tall", 300, 600, {320, 0, 704, 768}, {0, -640, 1024, 1408}},
      {"large and wide", 2000, 1000, {0, 128, 1024, 640}, {-256, 0, 1280, 768}},
      {"odd overflow", 1025, 768, {0, 0, 1024, 767}, {-1, 0, 1024, 768}},
      {"exactly the screen", 1024, 768, {0, 0, 1024, 768}, {0, 0, 1024, 768}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ScreenPlacement(c.width, c.height, kScreen, TFitMode::Fit), c.fit);
    const TRect fill = ScreenPlacement(c.width, c.height, kScreen, TFitMode::Fill);
    EXPECT_EQ(fill, c.fill);
    EXPECT_EQ(Intersect(fill, {0, 0, kScreen.Width, kScreen.Height}),
              (TRect{0, 0, kScreen.Width, kScreen.Height}));
  }
  // A picture without pixels (a GIF's empty screen) has nothing to scale, in any mode.
  for (const TFitMode mode : {TFitMode::ShrinkOnly, TFitMode::Fit, TFitMode::Fill})
    for (const auto& [width, height] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{0, 0}})
      EXPECT_TRUE(ScreenPlacement(width, height, kScreen, mode).IsEmpty());
}

// Sources of every layout come out as 24-bit screens with the same colours.
TEST(FitToScreen, EveryPixelFormatGivesTheSameScreen) {
  const TBitmap reference = [] {
    TBitmap work = Pattern(1500, 900);
    FitToScreen(work, kScreen);
    return work;
  }();
  for (const TPixelFormat format : {TPixelFormat::pf32bit, TPixelFormat::pfDevice}) {
    SCOPED_TRACE(BitsPerPixel(format));
    TBitmap work = Pattern(1500, 900, format);
    FitToScreen(work, kScreen);
    EXPECT_EQ(work.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_TRUE(SamePixels(work, reference));
  }
}

// A colour table without black must not tint the border: it is black, not the nearest entry.
TEST(FitToScreen, EightBitPictureWithoutBlackInItsTableGetsABlackBorder) {
  TBitmap source(30, 20, TPixelFormat::pf8bit);
  TPalette palette{};
  for (size_t i = 0; i < palette.size(); ++i)
    palette[i] = 0x808080u + TPixel(i);
  source.SetPalette(palette);
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < source.Width(); ++x)
      source.ScanLine(y)[x] = uint8_t(x + y * 30);
  TBitmap work = source;
  FitToScreen(work, {40, 25});
  EXPECT_EQ(work.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(NonBlackExtent(work), (TRect{5, 2, 35, 22}));
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < source.Width(); ++x)
      ASSERT_EQ(work.PixelAt(5 + x, 2 + y), source.PixelAt(x, y)) << x << ", " << y;
}

TEST(FitToScreen, ScreenSizedTwentyFourBitPictureIsLeftAlone) {
  const TBitmap source = Pattern(64, 48);
  TBitmap work = source;
  const uint8_t* pixels = work.ScanLine(0);
  FitToScreen(work, {64, 48});
  EXPECT_EQ(work.ScanLine(0), pixels) << "copied needlessly";
  EXPECT_TRUE(SamePixels(work, source));
}

TEST(FitToScreen, EmptyPictureGivesABlackScreen) {
  TBitmap work;
  FitToScreen(work, {32, 24});
  ASSERT_EQ(work.Width(), 32);
  ASSERT_EQ(work.Height(), 24);
  EXPECT_TRUE(NonBlackExtent(work).IsEmpty());
}

TEST(FitToScreen, ScreenWithoutPixelsOrBeyondTheLimitsIsRefused) {
  for (const TScreenSize screen :
       {TScreenSize{0, 768}, TScreenSize{1024, 0}, TScreenSize{-1024, 768}, TScreenSize{70000, 10},
        TScreenSize{40000, 40000}, TScreenSize{16385, 1}, TScreenSize{1, 16385},
        TScreenSize{16384, 4097}, TScreenSize{8193, 8192}}) {
    SCOPED_TRACE(std::to_string(screen.Width) + " x " + std::to_string(screen.Height));
    TBitmap work = Pattern(8, 8);
    EXPECT_THROW(FitToScreen(work, screen), std::invalid_argument);
    EXPECT_EQ(work.Width(), 8) << "changed before refusing";
  }
}

}  // namespace
}  // namespace kestrava
