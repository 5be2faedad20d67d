#pragma once

// Drawing through a clip region, shared by the families whose reveals are regions.

#include <initializer_list>

#include "raster/Bitmap.h"
#include "raster/Rect.h"
#include "raster/Region.h"

namespace kestrava {

// The new picture uncovered in place wherever the region lies over the frame: the frame that
// selecting the region as clip region, drawing the picture at (0, 0) and deselecting it gives.
// An empty region uncovers nothing.
void RevealPictureIn(TBitmap& screen, const TBitmap& picture, const Region& region);

// Rectangles of the new picture uncovered in place one after the other, and the region they
// make together: the same pixels either way, as every copy takes the picture where it lies.
void RevealPictureRects(TBitmap& screen, const TBitmap& picture,
                        std::initializer_list<TRect> rects);
Region RectsRegion(std::initializer_list<TRect> rects);

// The body of a region reveal effect: the picture uncovered through name##Region's region.
#define KESTRAVA_REVEAL_THROUGH_REGION(name)                                        \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, \
            int Progress) {                                                         \
    RevealPictureIn(Screen, Picture, name##Region(R, Step, Progress));              \
  }

}  // namespace kestrava
