#pragma once

// Fade, push and push-and-squeeze (the old image moves out): styles 118 and 128-135.

#include "transitions/TransitionEffects.h"

namespace kestrava {

// Not drawn yet: each becomes an effect procedure of this family.
inline constexpr TEffectProc Fade = NotYetDrawn;                 // 118
inline constexpr TEffectProc PushRight = NotYetDrawn;            // 128
inline constexpr TEffectProc PushLeft = NotYetDrawn;             // 129
inline constexpr TEffectProc PushAndSqueezeRight = NotYetDrawn;  // 130
inline constexpr TEffectProc PushAndSqueezeLeft = NotYetDrawn;   // 131
inline constexpr TEffectProc PushDown = NotYetDrawn;             // 132
inline constexpr TEffectProc PushUp = NotYetDrawn;               // 133
inline constexpr TEffectProc PushAndSqueezeDown = NotYetDrawn;   // 134
inline constexpr TEffectProc PushAndSqueezeUp = NotYetDrawn;     // 135

}  // namespace kestrava
