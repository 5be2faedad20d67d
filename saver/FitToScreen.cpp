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

TRect ScreenPlacement(int width, int height, TScreenSize screen) {
  const int64_t w = width, h = height, sw = screen.Width, sh = screen.Height;
  int64_t targetWidth = w, targetHeight = h;
  if (w > sw || h > sh) {
    // Comparing the cross products compares the shapes without rounding.
    if (w * sh > h * sw) {
      targetWidth = sw;
      targetHeight = h * sw / w;
    } else {
      targetHeight = sh;
      targetWidth = w * sh / h;
    }
  }
  const int left = int((sw - targetWidth) / 2), top = int((sh - targetHeight) / 2);
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
