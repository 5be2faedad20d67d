#pragma once

// Rectangular shred, sweeps and rotational shapes: styles 142-144, 149 and 150.

#include <span>

#include "raster/Rect.h"
#include "raster/Region.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) KESTRAVA_REVEAL_EFFECT(name)

KESTRAVA_EFFECT(RectangularShred);     // 142
KESTRAVA_EFFECT(SweepClockwise);       // 143
KESTRAVA_EFFECT(SweepAnticlockwise);   // 144
KESTRAVA_EFFECT(RotationalRectangle);  // 149
KESTRAVA_EFFECT(RotationalStar);       // 150

#undef KESTRAVA_EFFECT

// Angles are in radians; y grows downward, so a growing angle turns clockwise on the screen.
// Coordinates are rounded to the nearest integer, halves to the even one.

// The pie slice polygon (winding fill): the centre, then n points of the circle of radius r at
// a0 + k (a1 - a0) / n for k = 0 .. n - 1, stopping one step short of a1.
Region SectorRegion(int cx, int cy, int r, double a0, double a1, int n);

// Turns every point by theta about (cx, cy).
void RotatePoints(std::span<TPoint> points, int cx, int cy, double theta);

}  // namespace kestrava
