#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "raster/Bitmap.h"

namespace kestrava {

// The lines shown for a stored movie until movies are played: its number, frame size and frame
// count, or why its header could not be read.
std::string MovieCardText(size_t index, size_t count, std::span<const uint8_t> movie);

// White text, one line per '\n', centred on a black device bitmap of the given size.
TBitmap DrawTextCard(const std::string& text, int width, int height);

}  // namespace kestrava
