#pragma once

#include <cstdint>
#include <span>

#include "imaging/ImageErrors.h"
#include "imaging/PictureLimits.h"
#include "raster/Bitmap.h"

namespace kestrava {

class EHeifError : public EImageError {
 public:
  using EImageError::EImageError;
};

// The primary image of a HEIF/HEIC file, turned as the file says, as a 32-bit bitmap with
// straight alpha. Its size is checked before it is decoded. Throws EHeifError with libheif's
// message, or EImageError for a picture beyond maxPixels.
TBitmap ReadHeif(std::span<const uint8_t> bytes, int64_t maxPixels = TBitmap::kMaxPixels,
                 const TBeforeDecode& beforeDecode = {});

}  // namespace kestrava
