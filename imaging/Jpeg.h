#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "raster/Bitmap.h"

namespace kestrava {

struct TJpegImage {
  TBitmap Bitmap;            // pf24bit, full size
  bool Progressive = false;  // the file has several scans
};

// Decodes a JPEG with libjpeg (floating-point inverse DCT, the library's defaults otherwise) into
// a 24-bit bitmap; greyscale comes out as grey and CMYK/YCCK as RGB. A file that ends early keeps
// libjpeg's grey fill for what is missing; anything libjpeg cannot read throws EJpegError with
// libjpeg's message, as does a picture beyond maxPixels or TBitmap's limits.
TJpegImage DecodeJpeg(std::span<const uint8_t> bytes, int64_t maxPixels = TBitmap::kMaxPixels);
TJpegImage DecodeJpegFile(const std::filesystem::path& path);

// Baseline quality-80 JPEG (JFIF, YCbCr) of any bitmap, progressive if asked. Throws EJpegError
// for an empty bitmap.
std::vector<uint8_t> EncodeJpeg(const TBitmap& bitmap, bool progressive);

}  // namespace kestrava
