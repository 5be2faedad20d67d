#pragma once

#include <cstdint>

#include "raster/Bitmap.h"

namespace kestrava {

// Red, green and blue each in the six levels 0, 51, ..., 255: entry 36r + 6g + b; entries 216
// to 255 black.
const TPalette& WebSafePalette();

// Floyd-Steinberg error diffusion of a picture of colour indices (target's width x height,
// rows packed) with the given colours onto the 216-colour table: target's pixels become indices
// of WebSafePalette.
void DitherToWebSafe(const uint8_t* indices, const TPalette& colors, TBitmap& target);

}  // namespace kestrava
