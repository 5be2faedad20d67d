#pragma once

// Diagonal, sweep, starburst and triangular reveals: styles 110-117.

#include "raster/Region.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) KESTRAVA_REVEAL_EFFECT(name)

KESTRAVA_EFFECT(RevealDiagonalFromTopLeft);                         // 110
KESTRAVA_EFFECT(RevealDiagonalFromTopRight);                        // 111
KESTRAVA_EFFECT(RevealDiagonalFromBottomLeft);                      // 112
KESTRAVA_EFFECT(RevealDiagonalFromBottomRight);                     // 113
KESTRAVA_EFFECT(DiagonalSweepFromTopLeftBottomRightAnticlockwise);  // 114
KESTRAVA_EFFECT(DiagonalSweepFromTopLeftBottomRightClockwise);      // 115
KESTRAVA_EFFECT(StarburstClockwiseFromCenter);                      // 116
KESTRAVA_EFFECT(TriangularShredToTopLeft);                          // 117

#undef KESTRAVA_EFFECT

// The triangle with these corners, filled with the winding rule.
Region TriangleRegion(int x1, int y1, int x2, int y2, int x3, int y3);

// The union of the triangular shred's small triangles for a W by H frame: on an (n + 1) by
// (n + 1) grid of points, n being the step unit u (halved when above 1; a u of 0 counts as 1),
// the top-left half of a box 2 (sw / n) by 2 (sh / n) centred on each point.
Region TriangleGridRegion(int W, int H, int sw, int sh, int u);

}  // namespace kestrava
