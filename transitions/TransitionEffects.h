#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "raster/Bitmap.h"
#include "raster/Rect.h"

namespace kestrava {

// A style number: 1..150 select an effect of EffectTable; 0 is "Custom", drawn by the player's
// OnCustomDraw handler instead of an effect.
using TTransitionStyle = uint8_t;
constexpr TTransitionStyle kMaxTransitionStyle = 150;

// Draws one frame of a transition. Screen holds a fresh copy of the old image and receives the
// parts of Picture (the new picture, same size) that the effect shows at Progress (1..99). R is
// (0, 0, W, H). An effect keeps no state between calls and takes no locks; drawing outside R is
// clipped to the bitmap.
using TEffectProc = void (*)(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step,
                             int Progress);

class Region;

// For the effects that do nothing but uncover the new picture in place through a region: that
// region, for the same arguments. The player can then make the whole frame in one pass.
using TRevealRegionProc = Region (*)(const TRect& R, uint16_t Step, int Progress);

struct TEffect {
  std::string_view Name;
  TEffectProc Proc;
  TRevealRegionProc RevealRegion = nullptr;
};

// Declares the two functions of an effect that is a reveal through a region: the region, and
// the effect procedure drawing it.
#define KESTRAVA_REVEAL_EFFECT(name)                                                               \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, int Progress); \
  Region name##Region(const TRect& R, uint16_t Step, int Progress)

// Entry n is the effect of style n, for n = 1..150; entry 0 stands for "Custom" and has no
// procedure. Names are display text only (two are used twice); the number is the identity.
extern const TEffect EffectTable[kMaxTransitionStyle + 1];

// "Custom" for style 0, else the effect's name; empty for a number past the catalogue.
std::string_view StyleNameOf(TTransitionStyle style);

// The style a name selects: "Custom" first, then entries 1..150 in order, letter case ignored, so
// a duplicated name selects the lower number. Nothing when no name matches.
std::optional<TTransitionStyle> StyleFromName(std::string_view name);

// What nearly every effect starts from: the frame's size, the size (sw, sh) the new picture has
// reached, scaled together from the larger side so that they keep the picture's proportions, and
// the step unit u (larger side × Step / 90).
struct TProgressExtents {
  int W = 0, H = 0;
  int sw = 0, sh = 0;
  int u = 0;
};
TProgressExtents ProgressExtents(const TRect& R, uint16_t Step, int Progress);

// Whether the effect of a style is drawn yet; the rest draw nothing until their family is done.
bool IsStyleImplemented(TTransitionStyle style);

// The procedure of a style whose family is not drawn yet: the frame keeps the old image.
void NotYetDrawn(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step,
                 int Progress);

}  // namespace kestrava
