#include <gtest/gtest.h>

#include "raster/Bitmap.h"
#include "raster/Canvas.h"

namespace kestrava {
namespace {

TPixel Colour(int x, int y) {
  return TPixel((x * 37 + y * 11) & 0xFF) << 16 | TPixel(x & 0xFF) << 8 | TPixel(y & 0xFF);
}

TBitmap Pattern(int w, int h, TPixelFormat format) {
  TBitmap b(w, h, TPixelFormat::pf32bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      reinterpret_cast<uint32_t*>(b.ScanLine(y))[x] = Colour(x, y);
  b.SetPixelFormat(format);
  return b;
}

TEST(Bitmap, RowsArePaddedToFourBytes) {
  EXPECT_EQ(TBitmap(5, 2, TPixelFormat::pf8bit).Stride(), 8u);
  EXPECT_EQ(TBitmap(5, 2, TPixelFormat::pf24bit).Stride(), 16u);
  EXPECT_EQ(TBitmap(5, 2, TPixelFormat::pf32bit).Stride(), 20u);
  EXPECT_EQ(TBitmap(5, 2).BitsPerPixel(), 32);  // the device format
}

TEST(Bitmap, ConversionBetween24And32BitsKeepsEveryColour) {
  for (TPixelFormat target : {TPixelFormat::pf24bit, TPixelFormat::pfDevice}) {
    TBitmap b = Pattern(47, 33, TPixelFormat::pf24bit);
    b.SetPixelFormat(target);
    b.SetPixelFormat(TPixelFormat::pf32bit);
    for (int y = 0; y < 33; ++y)
      for (int x = 0; x < 47; ++x)
        ASSERT_EQ(b.PixelAt(x, y), Colour(x, y)) << x << "," << y;
  }
}

TEST(Bitmap, EightBitsUseTheColourTable) {
  TBitmap b(4, 1, TPixelFormat::pf8bit);
  TPalette palette{};
  palette[1] = 0x123456;
  palette[200] = 0xFEDCBA;
  b.SetPalette(palette);
  b.ScanLine(0)[0] = 1;
  b.ScanLine(0)[1] = 200;
  b.SetPixelFormat(TPixelFormat::pf24bit);
  EXPECT_EQ(b.PixelAt(0, 0), 0x123456u);
  EXPECT_EQ(b.PixelAt(1, 0), 0xFEDCBAu);
  EXPECT_EQ(b.PixelAt(2, 0), 0u);
  // Reduced to 8 bits, each colour becomes the nearest entry of the fixed table.
  b.SetPixelFormat(TPixelFormat::pf8bit);
  EXPECT_EQ(b.Palette(), Palette332());
  EXPECT_EQ(b.PixelAt(1, 0), 0xFFDAAAu);
  EXPECT_EQ(b.PixelAt(2, 0), 0u);
}

TEST(Bitmap, SetSizeKeepsWhatStaysInside) {
  TBitmap b = Pattern(10, 6, TPixelFormat::pf24bit);
  b.SetSize(4, 9);
  ASSERT_EQ(b.Width(), 4);
  ASSERT_EQ(b.Height(), 9);
  EXPECT_EQ(b.PixelAt(3, 5), Colour(3, 5));
  EXPECT_EQ(b.PixelAt(3, 8), 0u);
  b.SetSize(0, 5);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, RefusesSizesBeyondTheLimits) {
  EXPECT_THROW(TBitmap(TBitmap::kMaxDimension + 1, 1), EBitmapError);
  EXPECT_THROW(TBitmap(-1, 5), EBitmapError);
  EXPECT_THROW(TBitmap(40000, 40000), EBitmapError);
  TBitmap b(3, 3);
  EXPECT_THROW(b.SetSize(1, TBitmap::kMaxDimension + 1), EBitmapError);
}

TEST(Bitmap, CopiesAndMovesDrawOnTheirOwnPixels) {
  TBitmap a(3, 3);
  TBitmap copy(a);
  copy.Canvas().Brush.Color = clWhite;
  copy.Canvas().FillRect({0, 0, 3, 3});
  EXPECT_EQ(a.PixelAt(1, 1), 0u);
  EXPECT_EQ(copy.PixelAt(1, 1), 0xFFFFFFu);

  TBitmap moved(std::move(copy));
  moved.Canvas().Brush.Color = clBlack;
  moved.Canvas().FillRect({0, 0, 1, 1});
  EXPECT_EQ(&moved.Canvas().Bitmap(), &moved);
  EXPECT_EQ(moved.PixelAt(0, 0), 0u);
  EXPECT_EQ(moved.PixelAt(2, 2), 0xFFFFFFu);
}

}  // namespace
}  // namespace kestrava
