#pragma once

// A photograph-like picture for the benchmarks.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "raster/Bitmap.h"

namespace kestrava {

// Smooth shading with edges and sensor-like noise, so that the entropy coder does a photograph's
// amount of work.
inline TBitmap PhotoLike(int width, int height, unsigned seed = 7) {
  std::mt19937 random(seed);
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const double u = x / double(width), v = y / double(height);
      const int base[3] = {int(120 + 90 * std::sin(6 * u + 2 * v)),
                           int(110 + 80 * std::cos(5 * v - 3 * u)),
                           int(100 + 70 * std::sin(9 * u * v) + ((x / 400 + y / 300) % 2) * 40)};
      for (int c = 0; c < 3; ++c) {
        const int noise = int(random() % 13) - 6;
        row[x * 3 + c] = uint8_t(std::clamp(base[c] + noise, 0, 255));
      }
    }
  }
  return bitmap;
}

}  // namespace kestrava
