#pragma once

// Rectangular shred, sweeps and rotational shapes: styles 142-144, 149 and 150.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc RectangularShred = NotYetDrawn;     // 142
inline constexpr TEffectProc SweepClockwise = NotYetDrawn;       // 143
inline constexpr TEffectProc SweepAnticlockwise = NotYetDrawn;   // 144
inline constexpr TEffectProc RotationalRectangle = NotYetDrawn;  // 149
inline constexpr TEffectProc RotationalStar = NotYetDrawn;       // 150

}  // namespace kestrava
