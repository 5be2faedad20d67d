#pragma once

// Drawing steps shared by the effect families.

#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "raster/Rect.h"

namespace kestrava {

// Rectangle s of the new picture into rectangle d of the frame, stretched or squeezed to fit.
inline void CopyPicture(TBitmap& screen, const TBitmap& picture, const TRect& s, const TRect& d) {
  screen.Canvas().CopyRect(d, picture.Canvas(), s);
}

// The same rectangle of the new picture uncovered in place.
inline void RevealPicture(TBitmap& screen, const TBitmap& picture, const TRect& r) {
  CopyPicture(screen, picture, r, r);
}

}  // namespace kestrava
