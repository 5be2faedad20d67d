#pragma once

// The pictures of DefineBits, DefineBitsJPEG2-4 and DefineBitsLossless 1 and 2, decoded to the
// premultiplied 32-bit pixels cairo draws.

#include <cstdint>
#include <span>
#include <vector>

#include "movie/SwfMovie.h"

namespace kestrava::render {

struct TDecodedBitmap {
  int Width = 0, Height = 0;
  // 0xAARRGGBB with the colour already multiplied by alpha, rows top to bottom.
  std::vector<uint32_t> Pixels;
};

// Throws ESwfError, or the imaging library's EImageError for a JPEG or PNG it cannot read.
// A picture beyond kMaxBitmapPixels is refused before anything is allocated. Missing zlib data
// leaves pixels transparent (lossless) or opaque (a JPEG's alpha).
TDecodedBitmap DecodeBitmapCharacter(const TSwfCharacter& character,
                                     std::span<const uint8_t> jpegTables);

}  // namespace kestrava::render
