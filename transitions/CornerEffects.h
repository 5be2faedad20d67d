#pragma once

// The new picture grows in both directions at once: from a corner, out of or into the centre, or
// as four quarters (styles 35 to 57).

#include "raster/Region.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, int Progress)

KESTRAVA_EFFECT(ExpandFromBottomRight);
KESTRAVA_EFFECT(ExpandFromTopRight);
KESTRAVA_EFFECT(ExpandFromTopLeft);
KESTRAVA_EFFECT(ExpandFromBottomLeft);
KESTRAVA_EFFECT(SlideInFromBottomRight);
KESTRAVA_EFFECT(SlideInFromTopRight);
KESTRAVA_EFFECT(SlideInFromTopLeft);
KESTRAVA_EFFECT(SlideInFromBottomLeft);
KESTRAVA_REVEAL_EFFECT(RevealFromTopLeft);
KESTRAVA_REVEAL_EFFECT(RevealFromBottomLeft);
KESTRAVA_REVEAL_EFFECT(RevealFromBottomRight);
KESTRAVA_REVEAL_EFFECT(RevealFromTopRight);
KESTRAVA_EFFECT(AppearAndContractToTopLeft);
KESTRAVA_EFFECT(AppearAndContractToBottomLeft);
KESTRAVA_EFFECT(AppearAndContractToBottomRight);
KESTRAVA_EFFECT(AppearAndContractToTopRight);
KESTRAVA_EFFECT(AppearAndContractToMiddle);
KESTRAVA_EFFECT(ExpandOutFromCentre);
KESTRAVA_REVEAL_EFFECT(RevealOutFromCentre);
KESTRAVA_REVEAL_EFFECT(RevealInToCentre);
KESTRAVA_REVEAL_EFFECT(QuartersRevealInToMiddle);
KESTRAVA_EFFECT(QuartersExpandToMiddle);
KESTRAVA_EFFECT(QuartersSlideInToMiddle);

#undef KESTRAVA_EFFECT

}  // namespace kestrava
