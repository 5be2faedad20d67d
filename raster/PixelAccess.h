#pragma once

// Reading and writing single pixels of any format, for the general (format-changing) paths of
// the canvas and the conversions. The fast paths work on rows directly.

#include <array>
#include <cstdint>
#include <vector>

#include "raster/Bitmap.h"

namespace kestrava {

inline TPixel FetchPixel(const TBitmap& bitmap, const uint8_t* row, int x) {
  switch (bitmap.BitsPerPixel()) {
    case 8:
      return bitmap.Palette()[row[x]] & 0xFFFFFFu;
    case 24: {
      const uint8_t* p = row + size_t(x) * 3;
      return TPixel(p[0]) | TPixel(p[1]) << 8 | TPixel(p[2]) << 16;
    }
    default: {
      const uint8_t* p = row + size_t(x) * 4;
      return TPixel(p[0]) | TPixel(p[1]) << 8 | TPixel(p[2]) << 16 | TPixel(p[3]) << 24;
    }
  }
}

// Finds the nearest entry of a colour table, remembering answers at 15-bit colour precision.
class TPaletteMatcher {
 public:
  explicit TPaletteMatcher(const TPalette& palette) : palette_(palette), cache_(32768, -1) {}
  uint8_t Match(TPixel c);

 private:
  const TPalette& palette_;
  std::vector<int16_t> cache_;
};

// Writes a 0xXXRRGGBB pixel into a 24- or 32-bit row; 8-bit rows take matcher.Match(c).
inline void StorePixel(const TBitmap& bitmap, uint8_t* row, int x, TPixel c) {
  switch (bitmap.BitsPerPixel()) {
    case 24: {
      uint8_t* p = row + size_t(x) * 3;
      p[0] = uint8_t(c);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c >> 16);
      break;
    }
    default: {
      uint8_t* p = row + size_t(x) * 4;
      p[0] = uint8_t(c);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c >> 16);
      p[3] = uint8_t(c >> 24);
      break;
    }
  }
}

// Copies pixels [x0, x1) of row sy of source into row dy of target, converting the format. For an
// 8-bit target, pass one matcher for all rows to keep its answers.
void ConvertRow(const TBitmap& source, int sy, TBitmap& target, int dy, int x0, int x1,
                TPaletteMatcher* matcher = nullptr);

}  // namespace kestrava
