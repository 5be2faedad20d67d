#include "tools/kestrava-tool/TestPictures.h"

#include <cstdlib>

namespace kestrava::tool {

namespace {

constexpr int kCells = 8;

bool OnGrid(int x, int y, int w, int h) {
  return (x * kCells) % w < kCells || (y * kCells) % h < kCells || x == w - 1 || y == h - 1;
}

void Put(TBitmap& b, int x, int y, int r, int g, int bl) {
  reinterpret_cast<uint32_t*>(b.ScanLine(y))[x] = TPixel(r) << 16 | TPixel(g) << 8 | TPixel(bl);
}

}  // namespace

TBitmap OldTestPicture(int w, int h) {
  TBitmap b(w, h, TPixelFormat::pfDevice);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (OnGrid(x, y, w, h))
        Put(b, x, y, 0, 40, 90);
      else
        Put(b, x, y, 20, 90 + 120 * y / h, 140 + 115 * x / w);
    }
  return b;
}

TBitmap NewTestPicture(int w, int h) {
  TBitmap b(w, h, TPixelFormat::pfDevice);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool diagonal = std::abs(x * h - y * w) < w + h;
      const bool marked = x < w / kCells && y < h / kCells;
      if (OnGrid(x, y, w, h) || diagonal)
        Put(b, x, y, 110, 10, 0);
      else if (marked)
        Put(b, x, y, 255, 255, 200);
      else
        Put(b, x, y, 200 + 55 * x / w, 60 + 170 * y / h, 30);
    }
  return b;
}

}  // namespace kestrava::tool
