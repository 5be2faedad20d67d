#pragma once

// Bars and criss-cross reveals: styles 60-64, 71-75 and 86-99.

#include "raster/Region.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) KESTRAVA_REVEAL_EFFECT(name)

KESTRAVA_EFFECT(BarsInFromRight);                            // 60
KESTRAVA_EFFECT(BarsInFromLeft);                             // 61
KESTRAVA_EFFECT(BarsLeftThenRight);                          // 62
KESTRAVA_EFFECT(BarsRightThenLeft);                          // 63
KESTRAVA_EFFECT(BarsFromBothSides);                          // 64
KESTRAVA_EFFECT(BarsFromBottom);                             // 71
KESTRAVA_EFFECT(BarsFromTop);                                // 72
KESTRAVA_EFFECT(BarsTopThenBottom);                          // 73
KESTRAVA_EFFECT(BarsBottomThenTop);                          // 74
KESTRAVA_EFFECT(BarsFromTopAndBottom);                       // 75
KESTRAVA_EFFECT(CrissCrossRevealFromBottomRight);            // 86
KESTRAVA_EFFECT(CrissCrossRevealFromTopRight);               // 87
KESTRAVA_EFFECT(CrissCrossRevealFromBottomLeft);             // 88
KESTRAVA_EFFECT(CrissCrossRevealFromTopLeft);                // 89
KESTRAVA_EFFECT(CrissCrossRevealBounceFromTopLeft);          // 90
KESTRAVA_EFFECT(CrissCrossRevealBounceFromBottomLeft);       // 91
KESTRAVA_EFFECT(CrissCrossRevealBounceFromTopRight);         // 92
KESTRAVA_EFFECT(CrissCrossRevealBounceFromBottomRight);      // 93
KESTRAVA_EFFECT(CrissCrossRevealFromRightTopAndBottom);      // 94
KESTRAVA_EFFECT(CrissCrossRevealFromLeftTopAndBottom);       // 95
KESTRAVA_EFFECT(CrissCrossRevealFromLeftRightAndBottom);     // 96
KESTRAVA_EFFECT(CrissCrossRevealFromLeftRightAndTop);        // 97
KESTRAVA_EFFECT(CrissCrossRevealFromTopLeftRightAndBottom);  // 98
KESTRAVA_EFFECT(CrissCrossRevealFromBottomLeftTopRight);     // 99

#undef KESTRAVA_EFFECT

}  // namespace kestrava
