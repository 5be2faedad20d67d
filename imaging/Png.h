#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "imaging/PictureLimits.h"
#include "raster/Bitmap.h"

namespace kestrava {

// PNG for tools, fixtures and golden images. Reading gives a 32-bit bitmap whose fourth byte
// is the PNG's alpha (255 where the file has none); writing stores red, green and blue only.
// Errors throw EPngError with libpng's message. The size is checked from the header, against
// maxPixels too, before any pixel is allocated.
TBitmap ReadPng(std::span<const uint8_t> bytes, int64_t maxPixels = TBitmap::kMaxPixels,
                const TBeforeDecode& beforeDecode = {});
TBitmap ReadPngFile(const std::filesystem::path& path);
std::vector<uint8_t> EncodePng(const TBitmap& bitmap);
void WritePngFile(const std::filesystem::path& path, const TBitmap& bitmap);

}  // namespace kestrava
