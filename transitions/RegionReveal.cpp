#include "transitions/RegionReveal.h"

#include "raster/Canvas.h"

namespace kestrava {

void RevealPictureIn(TBitmap& screen, const TBitmap& picture, const Region& region) {
  if (region.IsEmpty()) return;
  TCanvas& canvas = screen.Canvas();
  canvas.SelectClipRegion(region);
  canvas.Draw(0, 0, picture);
  canvas.SelectNoClip();
}

void RevealPictureRects(TBitmap& screen, const TBitmap& picture,
                        std::initializer_list<TRect> rects) {
  for (const TRect& r : rects)
    screen.Canvas().CopyRect(r, picture.Canvas(), r);
}

Region RectsRegion(std::initializer_list<TRect> rects) {
  return Region::FromRects(std::span<const TRect>(rects.begin(), rects.size()));
}

}  // namespace kestrava
