#pragma once

// A whole frame made in one pass: the old image with the new picture showing through a region.

#include "raster/Bitmap.h"
#include "raster/Region.h"

namespace kestrava {

// True when Compose can make the frame: three 32-bit bitmaps of one size.
bool CanComposeThroughRegion(const TBitmap& frame, const TBitmap& oldScreen,
                             const TBitmap& picture);

// frame := picture inside the region, oldScreen everywhere else: the same pixels as drawing the
// old image and then revealing the picture through the region, but every frame row is written
// once, assembled in a small buffer and streamed out, so the frame is never read back.
void ComposeThroughRegion(TBitmap& frame, const TBitmap& oldScreen, const TBitmap& picture,
                          const Region& region);

}  // namespace kestrava
