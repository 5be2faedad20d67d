// Pictures fitted, filled or shrunk onto the screen, by dropping pixels or resampled smoothly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/BmpWriter.h"
#include "imaging/Jpeg.h"
#include "imaging/Png.h"
#include "saver/PreparePicture.h"
#include "tests/imaging/GifTestSupport.h"

namespace kestrava {
namespace {

TBitmap Picture(int width, int height, const std::function<TPixel(int, int)>& colour) {
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TPixel c = colour(x, y);  // 0xRRGGBB; rows hold blue, green, red
      uint8_t* pixel = bitmap.ScanLine(y) + size_t(x) * 3;
      pixel[0] = uint8_t(c);
      pixel[1] = uint8_t(c >> 8);
      pixel[2] = uint8_t(c >> 16);
    }
  return bitmap;
}

// The stored screen picture, decoded.
TBitmap Prepared(TPictureKind kind, const std::vector<uint8_t>& bytes, TScreenSize screen,
                 TPictureFit fit) {
  TBitmap screenPicture =
      DecodeJpeg(PreparePictureBytes(kind, bytes, screen, nullptr, TBitmap::kMaxPixels, fit))
          .Bitmap;
  screenPicture.SetPixelFormat(TPixelFormat::pfDevice);
  return screenPicture;
}

int Grey(const TBitmap& bitmap, int x, int y) {
  return int(bitmap.PixelAt(x, y) & 0xFF);
}

// Where the picture is on the screen: the rectangle of its grey-not-black pixels.
TRect LitArea(const TBitmap& bitmap) {
  TRect area{bitmap.Width(), bitmap.Height(), 0, 0};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (Grey(bitmap, x, y) > 60)
        area = {std::min(area.Left, x), std::min(area.Top, y), std::max(area.Right, x + 1),
                std::max(area.Bottom, y + 1)};
  return area;
}

// A flat light grey picture shows where each mode places it, whichever reader and resampling.
TEST(PrepareFit, EachModePlacesThePictureWhereItSays) {
  const TScreenSize screen{64, 48};
  const TBitmap small = Picture(16, 8, [](int, int) { return TPixel(0xC0C0C0); });
  struct Case {
    TFitMode mode;
    TRect lit;
  };
  const Case cases[] = {
      {TFitMode::ShrinkOnly, {24, 20, 40, 28}},
      {TFitMode::Fit, {0, 8, 64, 40}},
      {TFitMode::Fill, {0, 0, 64, 48}},
  };
  namespace g = giftest;
  const std::pair<TPictureKind, std::vector<uint8_t>> sources[] = {
      {TPictureKind::Png, EncodePng(small)},
      {TPictureKind::Bmp, EncodeBmp(small, 24)},
      {TPictureKind::Jpeg, EncodeJpeg(small, false)},
      {TPictureKind::Gif, g::Cat({g::Screen(16, 8, {0xC0C0C0, 0}),
                                  g::Image(0, 0, 16, 8, g::TBytes(128, 0)), g::Trailer()})},
  };
  for (const auto& [kind, bytes] : sources)
    for (const Case& c : cases)
      for (const bool smooth : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << int(kind) << " mode " << int(c.mode) << " smooth " << smooth);
        EXPECT_EQ(LitArea(Prepared(kind, bytes, screen, {c.mode, smooth})), c.lit);
      }
}

// Halving a one-pixel checkerboard: dropping pixels keeps black or white (the pattern aliases),
// smoothing averages to grey.
TEST(PrepareFit, SmoothShrinkingAveragesWhatDroppingPixelsAliases) {
  const TBitmap checker =
      Picture(128, 96, [](int x, int y) { return TPixel((x + y) % 2 ? 0xFFFFFF : 0); });
  const std::vector<uint8_t> png = EncodePng(checker);
  const TBitmap dropped = Prepared(TPictureKind::Png, png, {64, 48}, {});
  const TBitmap smoothed = Prepared(TPictureKind::Png, png, {64, 48}, {TFitMode::ShrinkOnly, true});
  int droppedFar = 0;
  for (int y = 8; y < 40; ++y)
    for (int x = 8; x < 56; ++x) {
      EXPECT_NEAR(Grey(smoothed, x, y), 128, 12) << x << "," << y;
      droppedFar += std::abs(Grey(dropped, x, y) - 128) > 64;
    }
  EXPECT_GT(droppedFar, 32 * 48 * 9 / 10);
}

// A picture that keeps its size is copied, smooth or not: the same stored bytes.
TEST(PrepareFit, APictureAtItsOwnSizeIsNotResampled) {
  const TBitmap picture =
      Picture(40, 30, [](int x, int y) { return TPixel((x * 37 + y * 91) % 256 * 0x010101); });
  const std::vector<uint8_t> png = EncodePng(picture);
  EXPECT_EQ(PreparePictureBytes(TPictureKind::Png, png, {64, 48}, nullptr, TBitmap::kMaxPixels,
                                {TFitMode::ShrinkOnly, true}),
            PreparePictureBytes(TPictureKind::Png, png, {64, 48}, nullptr));
}

}  // namespace
}  // namespace kestrava
