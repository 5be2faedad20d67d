#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "imaging/ImageErrors.h"
#include "raster/Bitmap.h"

namespace kestrava {

// Reads a Windows bitmap: OS/2 core, OS/2 2.x, info (40, 52, 56 bytes), V4 and V5 headers;
// 1, 4, 8, 16, 24 and 32 bits per pixel; uncompressed, RLE8, RLE4 and bit fields.
// The picture keeps the file's own layout where a TBitmap has one: 1-, 4- and 8-bit files become
// pf8bit with the file's colour table (missing entries black), 24-bit files pf24bit, 32-bit files
// pf32bit (alpha, if any, in the fourth byte) and 16-bit files pf24bit.
// Throws EBmpError with a message starting "Invalid bitmap" or "Unsupported bitmap", before
// allocating the picture when the file cannot hold the pixels its header claims. An RLE stream
// that ends early leaves the rest of the picture at index 0 unless damage is refused.
TBitmap ReadBmp(std::span<const uint8_t> bytes, TDamage damage = TDamage::Show);
// The kept rows of the picture ReadBmp gives, decoded in the order the file stores them: slots
// holds for each picture row (top first) its row in the result, or -1 for a row not kept, and
// kept is how many rows are kept (at least one row is allocated). Throws as ReadBmp, and
// std::invalid_argument when slots are not one per picture row.
TBitmap ReadBmpRows(std::span<const uint8_t> bytes, std::span<const int> slots, int kept,
                    TDamage damage);
struct TBmpSize {
  int Width = 0;
  int Height = 0;
  int PixelBytes = 0;  // of the picture ReadBmp gives
};
// From the headers; throws as ReadBmp for headers it refuses.
TBmpSize BmpSize(std::span<const uint8_t> bytes);
TBitmap ReadBmpFile(const std::filesystem::path& path);

}  // namespace kestrava
