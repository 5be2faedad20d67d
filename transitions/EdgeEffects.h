#pragma once

// The new picture arrives along one axis: styles 1-13 across the width, 18-30 their twins down
// the height.

#include "raster/Region.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, int Progress)

KESTRAVA_EFFECT(ExpandFromRight);
KESTRAVA_EFFECT(ExpandFromLeft);
KESTRAVA_EFFECT(SlideInFromRight);
KESTRAVA_EFFECT(SlideInFromLeft);
KESTRAVA_REVEAL_EFFECT(RevealFromLeft);
KESTRAVA_REVEAL_EFFECT(RevealFromRight);
KESTRAVA_EFFECT(ExpandInFromRight);
KESTRAVA_EFFECT(ExpandInFromLeft);
KESTRAVA_EFFECT(ExpandInToMiddle);
KESTRAVA_EFFECT(ExpandOutFromMiddle);
KESTRAVA_REVEAL_EFFECT(RevealOutFromMiddle);
KESTRAVA_REVEAL_EFFECT(RevealInFromSides);
KESTRAVA_EFFECT(ExpandInFromSides);

KESTRAVA_EFFECT(ExpandFromBottom);
KESTRAVA_EFFECT(ExpandFromTop);
KESTRAVA_EFFECT(SlideInFromBottom);
KESTRAVA_EFFECT(SlideInFromTop);
KESTRAVA_REVEAL_EFFECT(RevealFromTop);
KESTRAVA_REVEAL_EFFECT(RevealFromBottom);
KESTRAVA_EFFECT(ExpandInFromBottom);
KESTRAVA_EFFECT(ExpandInFromTop);
KESTRAVA_EFFECT(ExpandInToMiddleHoriz);
KESTRAVA_EFFECT(ExpandOutFromMiddleHoriz);
KESTRAVA_REVEAL_EFFECT(RevealFromMiddleHoriz);
KESTRAVA_REVEAL_EFFECT(SlideInFromTopBottom);
KESTRAVA_EFFECT(ExpandInFromTopBottom);

#undef KESTRAVA_EFFECT

}  // namespace kestrava
