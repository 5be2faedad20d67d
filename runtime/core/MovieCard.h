#pragma once

#include <cstdint>
#include <string>

#include "raster/Bitmap.h"

namespace kestrava {

// White text, one line per '\n', centred on a black device bitmap of the given size.
TBitmap DrawTextCard(const std::string& text, int width, int height);

}  // namespace kestrava
