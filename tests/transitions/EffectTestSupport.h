#pragma once

// Pictures and helpers shared by the effect tests.

#include <gtest/gtest.h>

#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "transitions/TransitionEffects.h"

namespace kestrava::test {

// The old image in effect tests: one colour that no test picture contains.
inline constexpr TPixel kOld = 0x00FF00FFu;

// A picture whose every pixel names its own coordinates: (y << 12) | x (never equal to kOld).
inline TBitmap Numbered(int w, int h, TPixelFormat format = TPixelFormat::pfDevice) {
  TBitmap b(w, h, TPixelFormat::pf32bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      reinterpret_cast<uint32_t*>(b.ScanLine(y))[x] = TPixel(y) << 12 | TPixel(x);
  b.SetPixelFormat(format);
  return b;
}

inline TBitmap Solid(int w, int h, TPixel colour, TPixelFormat format = TPixelFormat::pfDevice) {
  TBitmap b(w, h, format);
  b.Canvas().Brush.Color = PixelToColor(colour);
  b.Canvas().FillRect({0, 0, w, h});
  return b;
}

// One call of a style's procedure on a frame that holds the old image (kOld, or `old` if given).
// Styles 118 to 122 work on 32-bit bitmaps, every other style on device bitmaps.
inline TBitmap RunEffect(int style, const TBitmap& picture, int progress, uint16_t step = 4,
                         const TBitmap* old = nullptr) {
  const TPixelFormat format =
      style >= 118 && style <= 122 ? TPixelFormat::pf32bit : TPixelFormat::pfDevice;
  TBitmap screen = old ? *old : Solid(picture.Width(), picture.Height(), kOld, format);
  screen.SetPixelFormat(format);
  TBitmap newPicture(picture);
  newPicture.SetPixelFormat(format);
  EffectTable[style].Proc(screen, newPicture, {0, 0, picture.Width(), picture.Height()}, step,
                          progress);
  return screen;
}

inline void ExpectSameFrame(const TBitmap& actual, const TBitmap& expected) {
  ASSERT_EQ(actual.Width(), expected.Width());
  ASSERT_EQ(actual.Height(), expected.Height());
  for (int y = 0; y < actual.Height(); ++y)
    for (int x = 0; x < actual.Width(); ++x)
      ASSERT_EQ(actual.PixelAt(x, y), expected.PixelAt(x, y)) << "at " << x << "," << y;
}

}  // namespace kestrava::test
