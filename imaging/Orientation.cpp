#include "imaging/Orientation.h"

#include <cstddef>
#include <cstring>

namespace kestrava {

namespace {

// How an upright pixel (x, y) finds its stored pixel: with Swap, x runs down the stored rows and
// y across them; each stored axis may run backwards.
struct TStoredWay {
  bool Swap;
  bool FlipX;  // along the stored rows
  bool FlipY;  // down the stored columns
};

constexpr TStoredWay kWays[9] = {
    {false, false, false},  // unused
    {false, false, false}, {false, true, false}, {false, true, true}, {false, false, true},
    {true, false, false},  {true, false, true},  {true, true, true},  {true, true, false},
};

}  // namespace

bool OrientationSwapsSides(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

TBitmap Oriented(TBitmap bitmap, int orientation) {
  if (orientation <= 1 || orientation > 8 || bitmap.Empty()) return bitmap;
  const TStoredWay way = kWays[orientation];
  const int width = bitmap.Width(), height = bitmap.Height();
  const ptrdiff_t pixelBytes = bitmap.BitsPerPixel() / 8;
  const ptrdiff_t stride = ptrdiff_t(bitmap.Stride());
  TBitmap upright(way.Swap ? height : width, way.Swap ? width : height, bitmap.PixelFormat());
  upright.SetPalette(bitmap.Palette());
  const uint8_t* stored = bitmap.ScanLine(0);
  for (int y = 0; y < upright.Height(); ++y) {
    // Where the row's first upright pixel is stored, and the step to the next one.
    ptrdiff_t at, step;
    if (way.Swap) {
      const int storedX = way.FlipX ? width - 1 - y : y;
      at = (way.FlipY ? (height - 1) * stride : 0) + storedX * pixelBytes;
      step = way.FlipY ? -stride : stride;
    } else {
      const int storedY = way.FlipY ? height - 1 - y : y;
      at = storedY * stride + (way.FlipX ? (width - 1) * pixelBytes : 0);
      step = way.FlipX ? -pixelBytes : pixelBytes;
    }
    uint8_t* to = upright.ScanLine(y);
    for (int x = 0; x < upright.Width(); ++x, to += pixelBytes, at += step)
      std::memcpy(to, stored + at, size_t(pixelBytes));
  }
  return upright;
}

}  // namespace kestrava
