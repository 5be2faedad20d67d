#pragma once

// Effects written once along an axis, their vertical twins exchanging rows and columns.

#include <algorithm>
#include <cstdint>

#include "raster/Bitmap.h"
#include "raster/Rect.h"
#include "transitions/EffectDrawing.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

enum class TAxis { Across, Down };

// Along the axis, L is the frame's length and s the length the new picture has reached.
struct TAxisSpans {
  TAxis Axis;
  int W, H;
  int L, s;
  int u;  // the step unit; a tiny picture or a small Step gives none, and one pixel stands in

  TAxisSpans(const TRect& r, uint16_t step, int progress, TAxis axis) : Axis(axis) {
    const TProgressExtents e = ProgressExtents(r, step, progress);
    W = e.W;
    H = e.H;
    L = axis == TAxis::Across ? e.W : e.H;
    s = axis == TAxis::Across ? e.sw : e.sh;
    u = std::max(e.u, 1);
  }

  // Span [a, b) along the axis, the full extent across it.
  TRect Along(int a, int b) const {
    return Axis == TAxis::Across ? TRect{a, 0, b, H} : TRect{0, a, W, b};
  }
};

// The copies of one effect along its axis: spans of the new picture into spans of the frame.
struct TAxisCopies : TAxisSpans {
  TBitmap& Screen;
  const TBitmap& Picture;

  TAxisCopies(TBitmap& screen, const TBitmap& picture, const TRect& r, uint16_t step, int progress,
              TAxis axis)
      : TAxisSpans(r, step, progress, axis), Screen(screen), Picture(picture) {}

  // Source span [a, b) into destination span [c, d), each the full extent across the axis.
  void Copy(int a, int b, int c, int d) const {
    CopyPicture(Screen, Picture, Along(a, b), Along(c, d));
  }
};

}  // namespace kestrava
