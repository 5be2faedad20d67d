#pragma once

// The two 1920 x 1080 pictures the effect figures are measured on, on Linux and on Windows alike:
// a cool and a warm gradient.

#include <cstdint>

#include "raster/Bitmap.h"

namespace kestrava {

inline constexpr int kFrameWidth = 1920, kFrameHeight = 1080;

inline TBitmap FrameGradient(bool warm, TPixelFormat format) {
  constexpr int kW = kFrameWidth, kH = kFrameHeight;
  TBitmap b(kW, kH, format);
  for (int y = 0; y < kH; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(b.ScanLine(y));
    for (int x = 0; x < kW; ++x) {
      const uint32_t a = uint32_t(x * 255 / kW), c = uint32_t(y * 255 / kH);
      row[x] = warm ? (0xFFu << 16 | c << 8 | a / 4) : (a / 4 << 16 | c << 8 | 0xFFu);
    }
  }
  return b;
}

}  // namespace kestrava
