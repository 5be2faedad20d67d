#include "imaging/GifDither.h"

#include <algorithm>
#include <vector>

namespace kestrava {

const TPalette& WebSafePalette() {
  static const TPalette palette = [] {
    TPalette p{};
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          p[size_t(36 * r + 6 * g + b)] =
              TPixel(r * 51) << 16 | TPixel(g * 51) << 8 | TPixel(b * 51);
    return p;
  }();
  return palette;
}

void DitherToWebSafe(const uint8_t* indices, const TPalette& colors, TBitmap& target) {
  const int width = target.Width();
  // Errors carried to the current and the next row, per channel, with a column of margin on
  // each side so that the edges need no tests.
  std::vector<int> current(size_t(width + 2) * 3, 0), next(current.size(), 0);
  for (int y = 0; y < target.Height(); ++y) {
    const uint8_t* in = indices + size_t(y) * size_t(width);
    uint8_t* out = target.ScanLine(y);
    std::fill(next.begin(), next.end(), 0);
    for (int x = 0; x < width; ++x) {
      const TPixel color = colors[in[x]];
      int level[3];
      for (int c = 0; c < 3; ++c) {
        const int wanted = int((color >> (16 - 8 * c)) & 0xFF);
        const size_t at = size_t(x + 1) * 3 + size_t(c);
        // Errors are kept in sixteenths.
        const int value = std::clamp(wanted + current[at] / 16, 0, 255);
        level[c] = (value + 25) / 51;
        const int error = value - level[c] * 51;
        current[at + 3] += error * 7;
        next[at - 3] += error * 3;
        next[at] += error * 5;
        next[at + 3] += error;
      }
      out[x] = uint8_t(36 * level[0] + 6 * level[1] + level[2]);
    }
    std::swap(current, next);
  }
}

}  // namespace kestrava
