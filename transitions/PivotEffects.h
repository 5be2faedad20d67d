#pragma once

// Pivots (the new picture turning about a corner): styles 119-122.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc PivotFromTopLeft = NotYetDrawn;      // 119
inline constexpr TEffectProc PivotFromBottomLeft = NotYetDrawn;   // 120
inline constexpr TEffectProc PivotFromTopRight = NotYetDrawn;     // 121
inline constexpr TEffectProc PivotFromBottomRight = NotYetDrawn;  // 122

}  // namespace kestrava
