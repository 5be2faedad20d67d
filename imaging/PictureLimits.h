#pragma once

#include <cstdint>
#include <functional>

#include "raster/Bitmap.h"

namespace kestrava {

// Told a picture's size once its header is read and before its pixels are allocated: where a
// caller refuses it or reserves memory for it.
using TBeforeDecode = std::function<void(int width, int height)>;

// Refuses, with EImageError "<kind> picture W x H is too large", a size beyond maxPixels or
// beyond what a bitmap can hold; an empty one with "<kind> picture has no pixels".
void CheckPictureSize(const char* kind, int64_t width, int64_t height, int64_t maxPixels);

// Makes a 32-bit picture with straight alpha opaque, as if drawn over black: the saver's
// background.
void CompositeOverBlack(TBitmap& bgra);

}  // namespace kestrava
