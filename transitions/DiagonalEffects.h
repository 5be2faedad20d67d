#pragma once

// Diagonal, sweep, starburst and triangular reveals: styles 110-117.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc RevealDiagonalFromTopLeft = NotYetDrawn;                         // 110
inline constexpr TEffectProc RevealDiagonalFromTopRight = NotYetDrawn;                        // 111
inline constexpr TEffectProc RevealDiagonalFromBottomLeft = NotYetDrawn;                      // 112
inline constexpr TEffectProc RevealDiagonalFromBottomRight = NotYetDrawn;                     // 113
inline constexpr TEffectProc DiagonalSweepFromTopLeftBottomRightAnticlockwise = NotYetDrawn;  // 114
inline constexpr TEffectProc DiagonalSweepFromTopLeftBottomRightClockwise = NotYetDrawn;      // 115
inline constexpr TEffectProc StarburstClockwiseFromCenter = NotYetDrawn;                      // 116
inline constexpr TEffectProc TriangularShredToTopLeft = NotYetDrawn;                          // 117

}  // namespace kestrava
