#pragma once

// Shared by the picture-preparation tests: their fixtures, and the screen picture made the plain
// way with the canvas.

#include <filesystem>

#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "raster/Rect.h"
#include "saver/FitToScreen.h"

namespace kestrava::prepare_test {

namespace fs = std::filesystem;

inline const fs::path kFixtures = fs::path(KESTRAVA_TEST_DATA_DIR) / "prepare";

// The screen picture the plain way: a black screen, the picture stretched into target.
inline TBitmap PlainFit(const TBitmap& picture, TScreenSize screen, const TRect& target) {
  TBitmap result(screen.Width, screen.Height, TPixelFormat::pf24bit);
  result.Canvas().Brush.Color = clBlack;
  result.Canvas().FillRect({0, 0, screen.Width, screen.Height});
  result.Canvas().StretchDraw(target, picture);
  return result;
}

// Pixels compared as colours, so that bitmaps of different formats can be equal.
inline bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if ((a.PixelAt(x, y) & 0xFFFFFF) != (b.PixelAt(x, y) & 0xFFFFFF)) return false;
  return true;
}

}  // namespace kestrava::prepare_test
