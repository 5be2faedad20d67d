#pragma once

// Effects written once along an axis, their vertical twins exchanging rows and columns.

#include <algorithm>
#include <cstdint>

#include "raster/Rect.h"
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

}  // namespace kestrava
