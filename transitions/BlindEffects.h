#pragma once

// Blinds and moving rectangles: styles 136-141 and 145-148.

#include "raster/Region.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) KESTRAVA_REVEAL_EFFECT(name)

// Blinds: equal strips repeated across the picture, each opening within its pitch.
KESTRAVA_EFFECT(BlindVertically);        // 136
KESTRAVA_EFFECT(BlindHorizontally);      // 137
KESTRAVA_EFFECT(UnevenBlindFromLeft);    // 138
KESTRAVA_EFFECT(UnevenBlindFromRight);   // 139
KESTRAVA_EFFECT(UnevenBlindFromTop);     // 140
KESTRAVA_EFFECT(UnevenBlindFromBottom);  // 141

// Moving rectangles: bars growing from the middle of their pitch, united with uneven blinds
// across them.
KESTRAVA_EFFECT(RectanglesAppearFromLeftAndDisappearToRight);  // 145
KESTRAVA_EFFECT(RectanglesAppearFromRightAndDisappearToLeft);  // 146
KESTRAVA_EFFECT(RectanglesAppearFromUpAndDisappearToBottom);   // 147
KESTRAVA_EFFECT(RectanglesAppearFromBottomAndDisappearToUp);   // 148

#undef KESTRAVA_EFFECT

}  // namespace kestrava
