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

}  // namespace kestrava
