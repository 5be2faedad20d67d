#pragma once

// Curved and circular reveals: styles 58, 59, 69, 70 and 80-85.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc CurvedRevealFromLeft = NotYetDrawn;         // 58
inline constexpr TEffectProc CurvedRevealFromRight = NotYetDrawn;        // 59
inline constexpr TEffectProc CurvedRevealFromTop = NotYetDrawn;          // 69
inline constexpr TEffectProc CurvedRevealFromBottom = NotYetDrawn;       // 70
inline constexpr TEffectProc CurvedRevealFromTopLeft = NotYetDrawn;      // 80
inline constexpr TEffectProc CurvedRevealFromTopRight = NotYetDrawn;     // 81
inline constexpr TEffectProc CurvedRevealFromBottomLeft = NotYetDrawn;   // 82
inline constexpr TEffectProc CurvedRevealFromBottomRight = NotYetDrawn;  // 83
inline constexpr TEffectProc CircularRevealFromCentre = NotYetDrawn;     // 84
inline constexpr TEffectProc CircularRevealToCentre = NotYetDrawn;       // 85

}  // namespace kestrava
