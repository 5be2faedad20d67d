#include "raster/PixelAccess.h"

#include <optional>

namespace kestrava {

uint8_t TPaletteMatcher::Match(TPixel c) {
  const int key = int((c >> 9) & 0x7C00) | int((c >> 6) & 0x3E0) | int((c >> 3) & 0x1F);
  int16_t& slot = cache_[size_t(key)];
  if (slot >= 0) return uint8_t(slot);
  const int r = int((c >> 16) & 0xFF), g = int((c >> 8) & 0xFF), b = int(c & 0xFF);
  int best = 0, bestDistance = 1 << 30;
  for (int i = 0; i < 256; ++i) {
    const TPixel p = palette_[size_t(i)];
    const int dr = int((p >> 16) & 0xFF) - r, dg = int((p >> 8) & 0xFF) - g, db = int(p & 0xFF) - b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  slot = int16_t(best);
  return uint8_t(best);
}

void ConvertRow(const TBitmap& source, int sy, TBitmap& target, int dy, int x0, int x1,
                TPaletteMatcher* matcher) {
  const uint8_t* in = source.ScanLine(sy);
  uint8_t* out = target.ScanLine(dy);
  if (target.BitsPerPixel() == 8) {
    std::optional<TPaletteMatcher> own;
    if (!matcher) matcher = &own.emplace(target.Palette());
    for (int x = x0; x < x1; ++x)
      out[x] = matcher->Match(FetchPixel(source, in, x));
    return;
  }
  // The fourth byte of a 32-bit pixel is only carried between 32-bit bitmaps.
  const TPixel mask = source.BitsPerPixel() == 32 ? 0xFFFFFFFFu : 0x00FFFFFFu;
  for (int x = x0; x < x1; ++x)
    StorePixel(target, out, x, FetchPixel(source, in, x) & mask);
}

}  // namespace kestrava
