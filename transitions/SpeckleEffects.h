#pragma once

// Speckles and random squares: styles 123-127.

#include <cstdint>

#include "raster/Region.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

// Where a speckled front starts: "far" is the right edge for the horizontal pass and the bottom
// edge for the vertical one, "near" the left or the top edge.
enum class TSpeckleKind : uint8_t { None = 0, FromFar = 1, FromNear = 2 };

// A solid front that has come a across a w-wide picture (or b down an h-high one) with a spray
// of square specks ahead of it, in a zone a tenth of the picture's side deep: rows (or columns)
// s high, each overlapping the next by half, where s is a twentieth of the zone but at least 2.
// Each speck is drawn from Random(), row by row and from the far end of the zone back to the
// front; the nearer ones show more often. An empty region when neither kind makes anything.
Region BuildSpeckleRegion(int a, int b, int w, int h, TSpeckleKind hKind, TSpeckleKind vKind);

#define KESTRAVA_EFFECT(name) KESTRAVA_REVEAL_EFFECT(name)

KESTRAVA_EFFECT(SpeckleAppearFromRight);   // 123
KESTRAVA_EFFECT(SpeckleAppearFromLeft);    // 124
KESTRAVA_EFFECT(SpeckleAppearFromBottom);  // 125
KESTRAVA_EFFECT(SpeckleAppearFromTop);     // 126
// Squares on a grid, each with its own draw; the generator is reseeded with W × H at every
// frame, so a square once shown stays.
KESTRAVA_EFFECT(RandomSquaresAppear);  // 127

#undef KESTRAVA_EFFECT

}  // namespace kestrava
