#pragma once

// Unroll (a mirrored roll at the moving edge) and build-up: styles 14-17 and 31-34.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc UnrollFromLeft = NotYetDrawn;           // 14
inline constexpr TEffectProc UnrollFromRight = NotYetDrawn;          // 15
inline constexpr TEffectProc BuildUpFromRight = NotYetDrawn;         // 16
inline constexpr TEffectProc BuildUpFromLeft = NotYetDrawn;          // 17
inline constexpr TEffectProc UnrollFromTop = NotYetDrawn;            // 31
inline constexpr TEffectProc UnrollFromBottom = NotYetDrawn;         // 32
inline constexpr TEffectProc ExpandFromBottomBuildUp = NotYetDrawn;  // 33
inline constexpr TEffectProc ExpandInFromTopBuildUp = NotYetDrawn;   // 34

}  // namespace kestrava
