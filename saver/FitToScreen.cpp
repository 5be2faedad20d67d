#include "saver/FitToScreen.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "raster/Canvas.h"
#include "saver/LargestScreen.h"

namespace kestrava {

void CheckScreenSize(TScreenSize screen) {
  if (!FitsLargestScreen(screen.Width, screen.Height))
    throw std::invalid_argument("Screen size " + std::to_string(screen.Width) + " x " +
                                std::to_string(screen.Height) + " is not usable");
}

TRect ScreenPlacement(int width, int height, TScreenSize screen, TFitMode mode) {
  const int64_t w = width, h = height, sw = screen.Width, sh = screen.Height;
  int64_t targetWidth = w, targetHeight = h;
  // A picture without pixels has no size to scale: it stays an empty place at the centre.
  const bool empty = w <= 0 || h <= 0;
  if (!empty && (mode != TFitMode::ShrinkOnly || w > sw || h > sh)) {
    // Comparing the cross products compares the shapes without rounding. A wider picture than
    // the screen fits at the screen's width and fills at its height.
    const bool byWidth = (w * sh > h * sw) == (mode != TFitMode::Fill);
    if (byWidth) {
      targetWidth = sw;
      targetHeight = h * sw / w;
    } else {
      targetHeight = sh;
      targetWidth = w * sh / h;
    }
  }
  // Floor division, so that an overflow is cropped as evenly as a margin is split.
  const auto half = [](int64_t margin) { return int(margin >= 0 ? margin / 2 : (margin - 1) / 2); };
  const int left = half(sw - targetWidth), top = half(sh - targetHeight);
  return {left, top, left + int(targetWidth), top + int(targetHeight)};
}

void FitToScreen(TBitmap& work, TScreenSize screen) {
  CheckScreenSize(screen);
  if (work.Width() == screen.Width && work.Height() == screen.Height &&
      work.PixelFormat() == TPixelFormat::pf24bit)
    return;
  // A new bitmap is all zero bytes, which at 24 bits is the black background: no fill needed.
  TBitmap result(screen.Width, screen.Height, TPixelFormat::pf24bit);
  const TRect target = ScreenPlacement(work.Width(), work.Height(), screen);
  if (!work.Empty() && !target.IsEmpty()) result.Canvas().StretchDraw(target, work);
  work = std::move(result);
}

}  // namespace kestrava
