#pragma once

// Uneven shreds: styles 65-68, 76-79 and 100-109.

#include <cstdint>

#include "raster/Region.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

// How the strips of one direction reach into the picture. "Far" is the right edge for
// horizontal strips and the bottom edge for vertical ones, "near" the left or the top edge; the
// middle is the centre line across the strips.
enum class TShredKind : uint8_t {
  None = 0,
  FromFar = 1,
  FromNear = 2,
  OutFromMiddle = 3,
  InToMiddle = 4,
};

// The new picture through strips 5 pixels thick whose ends are torn: each strip reaches its
// front (a across a w-wide picture for the horizontal strips, b down an h-high one for the
// vertical strips) plus a jitter drawn afresh from Random(). Neighbouring strips overlap by
// h mod 5 rows (w mod 5 columns) so that the last one reaches the edge. A strip that the jitter
// turns inside out is put in order, so it may lie beyond the picture or past the centre line.
Region BuildShredRegion(int a, int b, int w, int h, TShredKind hKind, TShredKind vKind);

#define KESTRAVA_EFFECT(name) KESTRAVA_REVEAL_EFFECT(name)

KESTRAVA_EFFECT(UnevenShredFromRight);                // 65
KESTRAVA_EFFECT(UnevenShredFromLeft);                 // 66
KESTRAVA_EFFECT(UnevenShredOutFromMiddleHoriz);       // 67
KESTRAVA_EFFECT(UnevenShredInToMiddleHoriz);          // 68
KESTRAVA_EFFECT(UnevenShredFromBottom);               // 76
KESTRAVA_EFFECT(UnevenShredFromTop);                  // 77
KESTRAVA_EFFECT(UnevenShredFromHorizon);              // 78
KESTRAVA_EFFECT(UnevenShredInToHorizon);              // 79
KESTRAVA_EFFECT(UnevenShredFromBottomAndRight);       // 100
KESTRAVA_EFFECT(UnevenShredFromTopAndRight);          // 101
KESTRAVA_EFFECT(UnevenShredFromBottomAndLeft);        // 102
KESTRAVA_EFFECT(UnevenShredFromTopAndLeft);           // 103
KESTRAVA_EFFECT(UnevenShredFromHorizAndRight);        // 104
KESTRAVA_EFFECT(UnevenShredFromHorizAndLeft);         // 105
KESTRAVA_EFFECT(UnevenShredFromBottomAndVertMiddle);  // 106
KESTRAVA_EFFECT(UnevenShredFromTopAndVertMiddle);     // 107
KESTRAVA_EFFECT(UnevenShredFromCentre);               // 108
KESTRAVA_EFFECT(UnevenShredToCentre);                 // 109

#undef KESTRAVA_EFFECT

}  // namespace kestrava
