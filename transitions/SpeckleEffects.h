#pragma once

// Speckles and random squares: styles 123-127.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc SpeckleAppearFromRight = NotYetDrawn;   // 123
inline constexpr TEffectProc SpeckleAppearFromLeft = NotYetDrawn;    // 124
inline constexpr TEffectProc SpeckleAppearFromBottom = NotYetDrawn;  // 125
inline constexpr TEffectProc SpeckleAppearFromTop = NotYetDrawn;     // 126
inline constexpr TEffectProc RandomSquaresAppear = NotYetDrawn;      // 127

}  // namespace kestrava
