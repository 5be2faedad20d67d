#include "imaging/Webp.h"

#include <webp/decode.h>

#include <utility>

#include "imaging/ExifOrientation.h"
#include "imaging/Orientation.h"

namespace kestrava {

TBitmap ReadWebp(std::span<const uint8_t> bytes, int64_t maxPixels,
                 const TBeforeDecode& beforeDecode) {
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(bytes.data(), bytes.size(), &features) != VP8_STATUS_OK)
    throw EWebpError("Not a WebP file, or its header is damaged");
  if (features.has_animation) throw EWebpError("Animated WebP pictures are not read");
  CheckPictureSize("WebP", features.width, features.height, maxPixels);
  if (beforeDecode) beforeDecode(features.width, features.height);
  TBitmap bitmap(features.width, features.height, TPixelFormat::pf32bit);
  const size_t size = bitmap.Stride() * size_t(bitmap.Height());
  if (!WebPDecodeBGRAInto(bytes.data(), bytes.size(), bitmap.ScanLine(0), size,
                          int(bitmap.Stride())))
    throw EWebpError("The WebP data is damaged or ends early");
  // Upright, as the camera's orientation tag says.
  return Oriented(std::move(bitmap), ReadWebpOrientation(bytes));
}

}  // namespace kestrava
