#pragma once

#include "imaging/GifFrame.h"
#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "raster/Rect.h"

namespace kestrava {

// Draws picture scaled into dest of canvas, as the canvas stretches (nearest neighbour, clipped
// to the canvas and its clip region). With a mask, the pixels it marks leave the canvas as it
// was.
void DrawGifFrame(TCanvas& canvas, const TRect& dest, const TBitmap& picture, const TGifMask* mask);

}  // namespace kestrava
