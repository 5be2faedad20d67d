#pragma once

// Curved and circular reveals: styles 58, 59, 69, 70 and 80-85.

#include "raster/Region.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) KESTRAVA_REVEAL_EFFECT(name)

KESTRAVA_EFFECT(CurvedRevealFromLeft);         // 58
KESTRAVA_EFFECT(CurvedRevealFromRight);        // 59
KESTRAVA_EFFECT(CurvedRevealFromTop);          // 69
KESTRAVA_EFFECT(CurvedRevealFromBottom);       // 70
KESTRAVA_EFFECT(CurvedRevealFromTopLeft);      // 80
KESTRAVA_EFFECT(CurvedRevealFromTopRight);     // 81
KESTRAVA_EFFECT(CurvedRevealFromBottomLeft);   // 82
KESTRAVA_EFFECT(CurvedRevealFromBottomRight);  // 83
KESTRAVA_EFFECT(CircularRevealFromCentre);     // 84
KESTRAVA_EFFECT(CircularRevealToCentre);       // 85

#undef KESTRAVA_EFFECT

}  // namespace kestrava
