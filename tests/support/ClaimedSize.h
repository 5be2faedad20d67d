#pragma once

// Files that claim a size they do not hold, made from real small ones.

#include <cstdint>
#include <vector>

#include "imaging/Jpeg.h"

namespace kestrava::test {

// A real 16 x 16 JPEG whose frame header is made to claim width x height.
inline std::vector<uint8_t> JpegClaiming(int width, int height, bool progressive) {
  std::vector<uint8_t> b = EncodeJpeg(TBitmap(16, 16, TPixelFormat::pf24bit), progressive);
  for (size_t i = 2; i + 9 < b.size(); ++i)
    if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
      b[i + 5] = uint8_t(height >> 8);
      b[i + 6] = uint8_t(height);
      b[i + 7] = uint8_t(width >> 8);
      b[i + 8] = uint8_t(width);
      break;
    }
  return b;
}

}  // namespace kestrava::test
