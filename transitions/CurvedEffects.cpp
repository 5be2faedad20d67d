#include "transitions/CurvedEffects.h"

#include "raster/Region.h"
#include "transitions/RegionReveal.h"

namespace kestrava {

namespace {

Region RoundRect(int x1, int y1, int x2, int y2, int ew, int eh) {
  return Region::FromRoundRect(x1, y1, x2, y2, ew, eh);
}

}  // namespace

// Each reveal is one rounded rectangle. The edge and corner fronts use rectangles reaching far
// beyond the frame (margins of 5 pixels, 3W, 3H) so that only one curved side or corner lies
// over the picture.
#define KESTRAVA_CURVED_EFFECT(name, region)                           \
  Region name##Region(const TRect& R, uint16_t Step, int Progress) {   \
    const TProgressExtents e = ProgressExtents(R, Step, Progress);     \
    [[maybe_unused]] const int W = e.W, H = e.H, sw = e.sw, sh = e.sh; \
    return region;                                                     \
  }                                                                    \
  KESTRAVA_REVEAL_THROUGH_REGION(name)

// From an edge: a front of two quarter circles, or half an ellipse once the corner ellipse is
// reduced to the rectangle's length along the edge.
KESTRAVA_CURVED_EFFECT(CurvedRevealFromLeft, RoundRect(-2 * W, -5, 2 * sw, H + 5, 2 * W, 2 * W))
KESTRAVA_CURVED_EFFECT(CurvedRevealFromRight, RoundRect(W - 2 * sw, -5, 3 * W, H + 5, 2 * W, 2 * W))
KESTRAVA_CURVED_EFFECT(CurvedRevealFromTop, RoundRect(-5, -2 * H, W + 5, 2 * sh, 2 * H, 2 * H))
KESTRAVA_CURVED_EFFECT(CurvedRevealFromBottom,
                       RoundRect(-5, H - 2 * sh, W + 5, 3 * H, 2 * H, 2 * H))

// From a corner: one quarter of an ellipse. The bottom-right one has always used a 2H by 2H
// ellipse, rounder than its sisters' on a landscape picture; kept so.
KESTRAVA_CURVED_EFFECT(CurvedRevealFromTopLeft,
                       RoundRect(-2 * W, -2 * H, 2 * sw, 2 * sh, 2 * W, 2 * H))
KESTRAVA_CURVED_EFFECT(CurvedRevealFromTopRight,
                       RoundRect(W - 2 * sw, -2 * H, 3 * W, 2 * sh, 2 * W, 2 * H))
KESTRAVA_CURVED_EFFECT(CurvedRevealFromBottomLeft,
                       RoundRect(-2 * W, H - 2 * sh, 2 * sw, 3 * H, 2 * W, 2 * H))
KESTRAVA_CURVED_EFFECT(CurvedRevealFromBottomRight,
                       RoundRect(W - 2 * sw, H - 2 * sh, 3 * W, 3 * H, 2 * H, 2 * H))

// Centred 2sw by 2sh, its corner ellipse nine tenths of that: nearly an ellipse.
KESTRAVA_CURVED_EFFECT(CircularRevealFromCentre, RoundRect(W / 2 - sw, H / 2 - sh, W / 2 + sw,
                                                           H / 2 + sh, 9 * sw / 5, 9 * sh / 5))
// The frame outside the same shape 2(W - sw) by 2(H - sh), which starts larger than the frame
// and shrinks onto the centre.
KESTRAVA_CURVED_EFFECT(CircularRevealToCentre,
                       Region::Combined(Region::FromRect(R),
                                        RoundRect(sw - W / 2, sh - H / 2, 3 * W / 2 - sw,
                                                  3 * H / 2 - sh, 9 * (W - sw) / 5,
                                                  9 * (H - sh) / 5),
                                        TCombineMode::Xor))

#undef KESTRAVA_CURVED_EFFECT

}  // namespace kestrava
