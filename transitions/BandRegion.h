#pragma once

// The comb of thin bands that the bars and criss-cross reveals show the new picture through.

#include <cstdint>

#include "raster/Region.h"

namespace kestrava {

// How the bands of one direction fill. Bands are 5 pixels thick and repeat every 10: the even
// bands start at multiples of 10, the odd ones 5 further. "Near" is the left edge for horizontal
// bands and the top edge for vertical ones, "far" the right or the bottom edge.
enum class TBandKind : uint8_t {
  None = 0,
  FromFar = 1,      // even bands from the far edge, then the odd ones from the same edge
  FromNear = 2,     // the same from the near edge
  BothEdges = 3,    // even bands from the far edge and odd ones from the near edge at once
  NearThenFar = 4,  // even bands from the near edge, then odd ones from the far edge
  FarThenNear = 5,  // even bands from the far edge, then odd ones from the near edge
};

// The union of the horizontal bands grown to a (0..2w: up to w the even bands, beyond it the
// odd ones) and the vertical bands grown to b (0..2h), for a w by h picture. During the even
// bands' phase a band within snap pixels of the full length is drawn full. Bands may reach past
// the bottom and right edges; an empty region when neither kind makes a band.
Region BuildBandRegion(int a, int b, int w, int h, int snap, TBandKind hKind, TBandKind vKind);

}  // namespace kestrava
