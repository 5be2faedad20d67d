#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "raster/Bitmap.h"

namespace kestrava {

// Writes an uncompressed bottom-up bitmap with a 40-byte info header, 24 bits per pixel (blue,
// green, red) or 32 (the bitmap's four bytes as they are). Any pixel format is converted first.
// Throws EBmpError for another bit depth or an empty bitmap.
std::vector<uint8_t> EncodeBmp(const TBitmap& bitmap, int bitsPerPixel);
void WriteBmpFile(const std::filesystem::path& path, const TBitmap& bitmap, int bitsPerPixel);

}  // namespace kestrava
