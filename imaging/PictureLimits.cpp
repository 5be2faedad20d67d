#include "imaging/PictureLimits.h"

#include <algorithm>
#include <string>

#include "imaging/ImageErrors.h"

namespace kestrava {

void CheckPictureSize(const char* kind, int64_t width, int64_t height, int64_t maxPixels) {
  if (width <= 0 || height <= 0) throw EImageError(std::string(kind) + " picture has no pixels");
  if (width > TBitmap::kMaxDimension || height > TBitmap::kMaxDimension ||
      width * height > std::min(maxPixels, TBitmap::kMaxPixels))
    throw EImageError(std::string(kind) + " picture " + std::to_string(width) + " x " +
                      std::to_string(height) + " is too large");
}

void CompositeOverBlack(TBitmap& bgra) {
  for (int y = 0; y < bgra.Height(); ++y) {
    uint8_t* pixel = bgra.ScanLine(y);
    for (int x = 0; x < bgra.Width(); ++x, pixel += 4) {
      const unsigned alpha = pixel[3];
      if (alpha == 255) continue;
      for (int c = 0; c < 3; ++c)
        pixel[c] = uint8_t((pixel[c] * alpha + 127) / 255);
      pixel[3] = 255;
    }
  }
}

}  // namespace kestrava
