#pragma once

// Pivots (the new picture turning about a corner): styles 119-122.

#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, int Progress)

KESTRAVA_EFFECT(PivotFromTopLeft);      // 119
KESTRAVA_EFFECT(PivotFromBottomLeft);   // 120
KESTRAVA_EFFECT(PivotFromTopRight);     // 121
KESTRAVA_EFFECT(PivotFromBottomRight);  // 122

#undef KESTRAVA_EFFECT

// Draws picture into screen turned counter-clockwise by theta (radians) about (cx, cy). Here
// columns X count from the left and rows Y upward from the bottom row. Target (X, Y) takes the
// picture's pixel at
//   xs = floor((a C - e S) / 65536) + cx,  ys = floor((a S + e C) / 65536) + cy,
// with a = X + 1 - cx, e = Y + 1 - cy, S = trunc(65536 sin(-theta)), C = trunc(65536 cos(-theta)),
// when that lies inside the picture, and keeps the old image otherwise. Pixels are copied whole,
// fourth byte included. Both bitmaps have 32 bits per pixel and the same size (else nothing is
// drawn).
void RotateInto(TBitmap& screen, const TBitmap& picture, int cx, int cy, double theta);

}  // namespace kestrava
