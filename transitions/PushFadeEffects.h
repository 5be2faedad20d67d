#pragma once

// Fade, push and push-and-squeeze (the old image moves out): styles 118 and 128-135.

#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, int Progress)

KESTRAVA_EFFECT(Fade);                 // 118
KESTRAVA_EFFECT(PushRight);            // 128
KESTRAVA_EFFECT(PushLeft);             // 129
KESTRAVA_EFFECT(PushAndSqueezeRight);  // 130
KESTRAVA_EFFECT(PushAndSqueezeLeft);   // 131
KESTRAVA_EFFECT(PushDown);             // 132
KESTRAVA_EFFECT(PushUp);               // 133
KESTRAVA_EFFECT(PushAndSqueezeDown);   // 134
KESTRAVA_EFFECT(PushAndSqueezeUp);     // 135

#undef KESTRAVA_EFFECT

// Mixes picture into screen by progress per cent (clamped to 0..100): each colour byte becomes
// ((100 - progress) * screen + progress * picture) div 100, truncated; the fourth byte of every
// screen pixel is kept. Both bitmaps have 32 bits per pixel; only the area they share is mixed.
void BlendInto(TBitmap& screen, const TBitmap& picture, int progress);

}  // namespace kestrava
