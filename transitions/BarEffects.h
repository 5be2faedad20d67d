#pragma once

// Bars and criss-cross reveals: styles 60-64, 71-75 and 86-99.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc BarsInFromRight = NotYetDrawn;                            // 60
inline constexpr TEffectProc BarsInFromLeft = NotYetDrawn;                             // 61
inline constexpr TEffectProc BarsLeftThenRight = NotYetDrawn;                          // 62
inline constexpr TEffectProc BarsRightThenLeft = NotYetDrawn;                          // 63
inline constexpr TEffectProc BarsFromBothSides = NotYetDrawn;                          // 64
inline constexpr TEffectProc BarsFromBottom = NotYetDrawn;                             // 71
inline constexpr TEffectProc BarsFromTop = NotYetDrawn;                                // 72
inline constexpr TEffectProc BarsTopThenBottom = NotYetDrawn;                          // 73
inline constexpr TEffectProc BarsBottomThenTop = NotYetDrawn;                          // 74
inline constexpr TEffectProc BarsFromTopAndBottom = NotYetDrawn;                       // 75
inline constexpr TEffectProc CrissCrossRevealFromBottomRight = NotYetDrawn;            // 86
inline constexpr TEffectProc CrissCrossRevealFromTopRight = NotYetDrawn;               // 87
inline constexpr TEffectProc CrissCrossRevealFromBottomLeft = NotYetDrawn;             // 88
inline constexpr TEffectProc CrissCrossRevealFromTopLeft = NotYetDrawn;                // 89
inline constexpr TEffectProc CrissCrossRevealBounceFromTopLeft = NotYetDrawn;          // 90
inline constexpr TEffectProc CrissCrossRevealBounceFromBottomLeft = NotYetDrawn;       // 91
inline constexpr TEffectProc CrissCrossRevealBounceFromTopRight = NotYetDrawn;         // 92
inline constexpr TEffectProc CrissCrossRevealBounceFromBottomRight = NotYetDrawn;      // 93
inline constexpr TEffectProc CrissCrossRevealFromRightTopAndBottom = NotYetDrawn;      // 94
inline constexpr TEffectProc CrissCrossRevealFromLeftTopAndBottom = NotYetDrawn;       // 95
inline constexpr TEffectProc CrissCrossRevealFromLeftRightAndBottom = NotYetDrawn;     // 96
inline constexpr TEffectProc CrissCrossRevealFromLeftRightAndTop = NotYetDrawn;        // 97
inline constexpr TEffectProc CrissCrossRevealFromTopLeftRightAndBottom = NotYetDrawn;  // 98
inline constexpr TEffectProc CrissCrossRevealFromBottomLeftTopRight = NotYetDrawn;     // 99

}  // namespace kestrava
