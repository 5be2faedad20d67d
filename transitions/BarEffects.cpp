#include "transitions/BarEffects.h"

#include "raster/Region.h"
#include "transitions/BandRegion.h"
#include "transitions/RegionReveal.h"

namespace kestrava {

namespace {

using enum TBandKind;

}  // namespace

// Each member is the band region with its own extents, snap and kinds. Twice sw (or sh) runs
// through both phases of a direction; sw alone fills only its even bands.
#define KESTRAVA_BAR_EFFECT(name, a, b, snap, hKind, vKind)          \
  Region name##Region(const TRect& R, uint16_t Step, int Progress) { \
    const TProgressExtents e = ProgressExtents(R, Step, Progress);   \
    [[maybe_unused]] const int sw = e.sw, sh = e.sh, u = e.u;        \
    return BuildBandRegion(a, b, e.W, e.H, snap, hKind, vKind);      \
  }                                                                  \
  KESTRAVA_REVEAL_THROUGH_REGION(name)

// Horizontal bars.
KESTRAVA_BAR_EFFECT(BarsInFromRight, 2 * sw, 0, u, FromFar, None)
KESTRAVA_BAR_EFFECT(BarsInFromLeft, 2 * sw, 0, u, FromNear, None)
KESTRAVA_BAR_EFFECT(BarsLeftThenRight, 2 * sw, 0, u, NearThenFar, None)
KESTRAVA_BAR_EFFECT(BarsRightThenLeft, 2 * sw, 0, u, FarThenNear, None)
KESTRAVA_BAR_EFFECT(BarsFromBothSides, sw, 0, 0, BothEdges, None)

// Vertical bars.
KESTRAVA_BAR_EFFECT(BarsFromBottom, 0, 2 * sh, u, None, FromFar)
KESTRAVA_BAR_EFFECT(BarsFromTop, 0, 2 * sh, u, None, FromNear)
KESTRAVA_BAR_EFFECT(BarsTopThenBottom, 0, 2 * sh, u, None, NearThenFar)
KESTRAVA_BAR_EFFECT(BarsBottomThenTop, 0, 2 * sh, u, None, FarThenNear)
KESTRAVA_BAR_EFFECT(BarsFromTopAndBottom, 0, sh, 0, None, BothEdges)

// Both at once.
KESTRAVA_BAR_EFFECT(CrissCrossRevealFromBottomRight, 2 * sw, 2 * sh, u, FromFar, FromFar)
KESTRAVA_BAR_EFFECT(CrissCrossRevealFromTopRight, 2 * sw, 2 * sh, u, FromFar, FromNear)
KESTRAVA_BAR_EFFECT(CrissCrossRevealFromBottomLeft, 2 * sw, 2 * sh, u, FromNear, FromFar)
KESTRAVA_BAR_EFFECT(CrissCrossRevealFromTopLeft, 2 * sw, 2 * sh, u, FromNear, FromNear)
KESTRAVA_BAR_EFFECT(CrissCrossRevealBounceFromTopLeft, 2 * sw, 2 * sh, u, NearThenFar, NearThenFar)
KESTRAVA_BAR_EFFECT(CrissCrossRevealBounceFromBottomLeft, 2 * sw, 2 * sh, u, NearThenFar,
                    FarThenNear)
KESTRAVA_BAR_EFFECT(CrissCrossRevealBounceFromTopRight, 2 * sw, 2 * sh, u, FarThenNear, NearThenFar)
KESTRAVA_BAR_EFFECT(CrissCrossRevealBounceFromBottomRight, 2 * sw, 2 * sh, u, FarThenNear,
                    FarThenNear)
KESTRAVA_BAR_EFFECT(CrissCrossRevealFromRightTopAndBottom, sw, sh, u, FromFar, BothEdges)
KESTRAVA_BAR_EFFECT(CrissCrossRevealFromLeftTopAndBottom, sw, sh, u, FromNear, BothEdges)
KESTRAVA_BAR_EFFECT(CrissCrossRevealFromLeftRightAndBottom, sw, sh, u, BothEdges, FromFar)
KESTRAVA_BAR_EFFECT(CrissCrossRevealFromLeftRightAndTop, sw, sh, u, BothEdges, FromNear)
KESTRAVA_BAR_EFFECT(CrissCrossRevealFromTopLeftRightAndBottom, sw, sh, 0, BothEdges, BothEdges)

#undef KESTRAVA_BAR_EFFECT

// Only where a criss-cross from the bottom right overlaps one from the top left: rows from the
// right crossing columns from the top and rows from the left crossing columns from the bottom
// show first, as small squares near the top-right and bottom-left corners.
Region CrissCrossRevealFromBottomLeftTopRightRegion(const TRect& R, uint16_t Step, int Progress) {
  const TProgressExtents e = ProgressExtents(R, Step, Progress);
  const Region one = BuildBandRegion(2 * e.sw, 2 * e.sh, e.W, e.H, e.u, FromFar, FromFar);
  const Region other = BuildBandRegion(2 * e.sw, 2 * e.sh, e.W, e.H, e.u, FromNear, FromNear);
  return Region::Combined(one, other, TCombineMode::And);
}
KESTRAVA_REVEAL_THROUGH_REGION(CrissCrossRevealFromBottomLeftTopRight)

}  // namespace kestrava
