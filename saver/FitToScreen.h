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

// How a picture is sized for the screen, as the project's FitMode says.
enum class TFitMode {
  ShrinkOnly = 0,  // as large as it is, shrunk when larger than the screen
  Fit = 1,         // as large as the screen allows, enlarged too
  Fill = 2,        // covering the whole screen, the overflow cropped evenly
};

// How pictures are sized for the screen and resampled: the project's FitMode and Smooth. The
// defaults are what a project without them asks: shrunk only, by dropping pixels.
struct TPictureFit {
  TFitMode Mode = TFitMode::ShrinkOnly;
  bool Smooth = false;  // an area filter when shrinking, linear when enlarging
  friend bool operator==(const TPictureFit&, const TPictureFit&) = default;
};

// Where a picture of width x height lands on the screen, its shape kept (sizes rounded down) and
// centred, the extra pixel of an odd margin going to the right or bottom. ShrinkOnly: unchanged
// when it fits, else shrunk to the screen's width or height. Fit: always at the screen's width or
// height. Fill: at the screen's width or height, whichever makes it cover the screen; the place
// then reaches beyond the screen.
TRect ScreenPlacement(int width, int height, TScreenSize screen,
                      TFitMode mode = TFitMode::ShrinkOnly);

// Turns the work picture into a 24-bit screen-sized one, black but for the picture drawn into
// its ScreenPlacement with the canvas's nearest-neighbour stretch. The border is pure black
// whatever colours an 8-bit picture's table offers. A 24-bit picture of exactly screen size is
// left as it is.
void FitToScreen(TBitmap& work, TScreenSize screen);

}  // namespace kestrava
