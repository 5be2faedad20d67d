#pragma once

// Drawing through a clip region, shared by the families whose reveals are regions.

#include "raster/Bitmap.h"
#include "raster/Region.h"

namespace kestrava {

// The new picture uncovered in place wherever the region lies over the frame: the frame that
// selecting the region as clip region, drawing the picture at (0, 0) and deselecting it gives.
// An empty region uncovers nothing.
void RevealPictureIn(TBitmap& screen, const TBitmap& picture, const Region& region);

}  // namespace kestrava
