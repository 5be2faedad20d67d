#pragma once

#include <cstdint>
#include <span>

#include "imaging/ImageErrors.h"
#include "imaging/PictureLimits.h"
#include "raster/Bitmap.h"

namespace kestrava {

class EWebpError : public EImageError {
 public:
  using EImageError::EImageError;
};

// A still WebP picture as a 32-bit bitmap with straight alpha (255 where the file has none),
// turned upright as its EXIF orientation says. The
// size is checked from the header before any pixel is allocated. Throws EWebpError, or
// EImageError for a picture beyond maxPixels.
TBitmap ReadWebp(std::span<const uint8_t> bytes, int64_t maxPixels = TBitmap::kMaxPixels,
                 const TBeforeDecode& beforeDecode = {});

}  // namespace kestrava
