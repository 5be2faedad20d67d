#pragma once

#include "raster/Bitmap.h"
#include "raster/Rect.h"

namespace kestrava {

// The size in pixels of the screen a saver is built for.
struct TScreenSize {
  int Width = 0;
  int Height = 0;
};

// Throws std::invalid_argument for a screen without pixels or beyond the largest screen
// (LargestScreen.h). A wrong screen size is the caller's mistake, never a picture's.
void CheckScreenSize(TScreenSize screen);

// Where a picture of width x height lands on the screen: unchanged when it fits (pictures are
// never enlarged), else shrunk to the screen's width or height with its shape kept (sizes rounded
// down); centred, the extra pixel of an odd margin going to the right or bottom.
TRect ScreenPlacement(int width, int height, TScreenSize screen);

// Turns the work picture into a 24-bit screen-sized one, black but for the picture drawn into
// its ScreenPlacement with the canvas's nearest-neighbour stretch. The border is pure black
// whatever colours an 8-bit picture's table offers. A 24-bit picture of exactly screen size is
// left as it is.
void FitToScreen(TBitmap& work, TScreenSize screen);

}  // namespace kestrava
