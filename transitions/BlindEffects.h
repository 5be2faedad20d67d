#pragma once

// Blinds and moving rectangles: styles 136-141 and 145-148.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc BlindVertically = NotYetDrawn;                              // 136
inline constexpr TEffectProc BlindHorizontally = NotYetDrawn;                            // 137
inline constexpr TEffectProc UnevenBlindFromLeft = NotYetDrawn;                          // 138
inline constexpr TEffectProc UnevenBlindFromRight = NotYetDrawn;                         // 139
inline constexpr TEffectProc UnevenBlindFromTop = NotYetDrawn;                           // 140
inline constexpr TEffectProc UnevenBlindFromBottom = NotYetDrawn;                        // 141
inline constexpr TEffectProc RectanglesAppearFromLeftAndDisappearToRight = NotYetDrawn;  // 145
inline constexpr TEffectProc RectanglesAppearFromRightAndDisappearToLeft = NotYetDrawn;  // 146
inline constexpr TEffectProc RectanglesAppearFromUpAndDisappearToBottom = NotYetDrawn;   // 147
inline constexpr TEffectProc RectanglesAppearFromBottomAndDisappearToUp = NotYetDrawn;   // 148

}  // namespace kestrava
