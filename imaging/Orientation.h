#pragma once

// Turning a picture stored sideways or mirrored the way its EXIF orientation (1 to 8) says, so
// that it stands upright; readers call this after decoding.

#include "raster/Bitmap.h"

namespace kestrava {

// Orientations 5 to 8 store the picture turned a quarter: width and height change places.
bool OrientationSwapsSides(int orientation);

// The picture upright, in the same pixel format (and colour table); unchanged for 1 and for
// values outside 1 to 8.
TBitmap Oriented(TBitmap bitmap, int orientation);

}  // namespace kestrava
