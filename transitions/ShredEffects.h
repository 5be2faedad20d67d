#pragma once

// Uneven shreds: styles 65-68, 76-79 and 100-109.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc UnevenShredFromRight = NotYetDrawn;                // 65
inline constexpr TEffectProc UnevenShredFromLeft = NotYetDrawn;                 // 66
inline constexpr TEffectProc UnevenShredOutFromMiddleHoriz = NotYetDrawn;       // 67
inline constexpr TEffectProc UnevenShredInToMiddleHoriz = NotYetDrawn;          // 68
inline constexpr TEffectProc UnevenShredFromBottom = NotYetDrawn;               // 76
inline constexpr TEffectProc UnevenShredFromTop = NotYetDrawn;                  // 77
inline constexpr TEffectProc UnevenShredFromHorizon = NotYetDrawn;              // 78
inline constexpr TEffectProc UnevenShredInToHorizon = NotYetDrawn;              // 79
inline constexpr TEffectProc UnevenShredFromBottomAndRight = NotYetDrawn;       // 100
inline constexpr TEffectProc UnevenShredFromTopAndRight = NotYetDrawn;          // 101
inline constexpr TEffectProc UnevenShredFromBottomAndLeft = NotYetDrawn;        // 102
inline constexpr TEffectProc UnevenShredFromTopAndLeft = NotYetDrawn;           // 103
inline constexpr TEffectProc UnevenShredFromHorizAndRight = NotYetDrawn;        // 104
inline constexpr TEffectProc UnevenShredFromHorizAndLeft = NotYetDrawn;         // 105
inline constexpr TEffectProc UnevenShredFromBottomAndVertMiddle = NotYetDrawn;  // 106
inline constexpr TEffectProc UnevenShredFromTopAndVertMiddle = NotYetDrawn;     // 107
inline constexpr TEffectProc UnevenShredFromCentre = NotYetDrawn;               // 108
inline constexpr TEffectProc UnevenShredToCentre = NotYetDrawn;                 // 109

}  // namespace kestrava
