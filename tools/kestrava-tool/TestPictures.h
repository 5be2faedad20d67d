#pragma once

#include "raster/Bitmap.h"

namespace kestrava::tool {

// Two pictures that differ in colour at every pixel and carry a grid, so that a frame shows at a
// glance which parts come from which: the old one cool (blues and greens), the new one warm (reds
// and yellows) with a diagonal and a marked top-left cell, so that mirroring and turning show.
TBitmap OldTestPicture(int width, int height);
TBitmap NewTestPicture(int width, int height);

}  // namespace kestrava::tool
