#pragma once

// Unroll (a mirrored roll at the moving edge) and build-up: styles 14-17 and 31-34.

#include "raster/Canvas.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

#define KESTRAVA_EFFECT(name) \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, int Progress)

KESTRAVA_EFFECT(UnrollFromLeft);           // 14
KESTRAVA_EFFECT(UnrollFromRight);          // 15
KESTRAVA_EFFECT(BuildUpFromRight);         // 16
KESTRAVA_EFFECT(BuildUpFromLeft);          // 17
KESTRAVA_EFFECT(UnrollFromTop);            // 31
KESTRAVA_EFFECT(UnrollFromBottom);         // 32
KESTRAVA_EFFECT(ExpandFromBottomBuildUp);  // 33
KESTRAVA_EFFECT(ExpandInFromTopBuildUp);   // 34

#undef KESTRAVA_EFFECT

// Rectangle s of bitmap (clipped to it first) stretched into rectangle d of canvas, mirrored
// left-to-right and/or top-to-bottom. A mirrored axis goes to the blit as an origin one past d's
// far edge and an extent reaching one before its near edge, so along that axis the mirror image
// covers d and the one column (or row) just past it.
void MirrorStretch(TCanvas& canvas, const TRect& d, const TBitmap& bitmap, const TRect& s,
                   bool hFlip, bool vFlip);

}  // namespace kestrava
