#include "app/widgets/BitmapImage.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "raster/Bitmap.h"

namespace kestrava {
namespace {

// Distinct colours for every pixel, so that a mix-up of rows, columns or channels shows.
TPixel PatternPixel(int x, int y) {
  return TPixel((x * 40 + 7) & 0xff) << 16 | TPixel((y * 60 + 11) & 0xff) << 8 |
         TPixel((x * 13 + y * 29 + 3) & 0xff);
}

// A bitmap of an odd width (rows padded) holding PatternPixel in the given format.
TBitmap PatternBitmap(TPixelFormat format) {
  constexpr int kWidth = 5, kHeight = 3;
  TBitmap bitmap(kWidth, kHeight, format);
  if (format == TPixelFormat::pf8bit) {
    TPalette palette{};
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        palette[size_t(y * kWidth + x)] = PatternPixel(x, y);
    bitmap.SetPalette(palette);
  }
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < kWidth; ++x) {
      const TPixel p = PatternPixel(x, y);
      switch (format) {
        case TPixelFormat::pf8bit:
          row[x] = uint8_t(y * kWidth + x);
          break;
        case TPixelFormat::pf24bit:
          row[x * 3] = uint8_t(p), row[x * 3 + 1] = uint8_t(p >> 8),
                  row[x * 3 + 2] = uint8_t(p >> 16);
          break;
        default:
          row[x * 4] = uint8_t(p), row[x * 4 + 1] = uint8_t(p >> 8),
                  row[x * 4 + 2] = uint8_t(p >> 16);
          row[x * 4 + 3] = 0;
          break;
      }
    }
  }
  return bitmap;
}

class ToQImageTest : public ::testing::TestWithParam<TPixelFormat> {};

TEST_P(ToQImageTest, CopiesEveryPixelOfEachFormat) {
  const TBitmap bitmap = PatternBitmap(GetParam());
  const QImage image = ToQImage(bitmap);
  ASSERT_EQ(image.width(), bitmap.Width());
  ASSERT_EQ(image.height(), bitmap.Height());
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      EXPECT_EQ(image.pixel(x, y) & 0xffffffu, PatternPixel(x, y)) << "at " << x << "," << y;
}

TEST_P(ToQImageTest, IsADeepCopy) {
  TBitmap bitmap = PatternBitmap(GetParam());
  const QImage image = ToQImage(bitmap);
  const QRgb before = image.pixel(0, 0);
  bitmap.ScanLine(0)[0] ^= 0xff;
  if (GetParam() == TPixelFormat::pf8bit) {
    TPalette palette = bitmap.Palette();
    palette[0] ^= 0xffffff;
    bitmap.SetPalette(palette);
  }
  EXPECT_EQ(image.pixel(0, 0), before);
}

INSTANTIATE_TEST_SUITE_P(Formats, ToQImageTest,
                         ::testing::Values(TPixelFormat::pfDevice, TPixelFormat::pf32bit,
                                           TPixelFormat::pf24bit, TPixelFormat::pf8bit));

TEST(BitmapImageTest, FromQImageGivesDeviceBitmapWithoutAlpha) {
  for (const QImage::Format format :
       {QImage::Format_ARGB32, QImage::Format_RGB888, QImage::Format_Grayscale8}) {
    QImage image(7, 2, format);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 7; ++x)
        image.setPixelColor(x, y, QColor(x * 30, y * 100 + 20, 200 - x * 20, 128));
    const TBitmap bitmap = FromQImage(image);
    SCOPED_TRACE(int(format));
    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pfDevice);
    ASSERT_EQ(bitmap.Width(), 7);
    ASSERT_EQ(bitmap.Height(), 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(bitmap.PixelAt(x, y), image.pixel(x, y) & 0xffffffu) << x << "," << y;
        EXPECT_EQ(bitmap.ScanLine(y)[x * 4 + 3], 0) << "fourth byte at " << x << "," << y;
      }
  }
}

TEST(BitmapImageTest, RoundTripAndEmptyCases) {
  const TBitmap original = PatternBitmap(TPixelFormat::pfDevice);
  const TBitmap back = FromQImage(ToQImage(original));
  for (int y = 0; y < original.Height(); ++y)
    for (int x = 0; x < original.Width(); ++x)
      EXPECT_EQ(back.PixelAt(x, y), original.PixelAt(x, y));
  EXPECT_TRUE(ToQImage(TBitmap()).isNull());
  EXPECT_TRUE(FromQImage(QImage()).Empty());
}

}  // namespace
}  // namespace kestrava
