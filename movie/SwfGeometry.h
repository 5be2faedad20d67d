#pragma once

// The geometric and colour fields every SWF tag shares. Lengths are in twips (1/20 pixel).
// A rectangle, matrix or colour transform starts on a whole byte and fills up its last one: the
// readers align before and after, so bit fields read next (DefineShape4's flags) start afresh.

#include <cstdint>

#include "movie/SwfBits.h"

namespace kestrava {

struct TSwfRect {
  int32_t XMin = 0, XMax = 0, YMin = 0, YMax = 0;
};
TSwfRect ReadSwfRect(TSwfBits& bits);

// x' = ScaleX * x + RotateSkew1 * y + TranslateX;  y' = RotateSkew0 * x + ScaleY * y + TranslateY
struct TSwfMatrix {
  double ScaleX = 1, RotateSkew0 = 0, RotateSkew1 = 0, ScaleY = 1;
  double TranslateX = 0, TranslateY = 0;

  // This matrix applied after `inner` (outer * inner).
  TSwfMatrix operator*(const TSwfMatrix& inner) const;
  void Apply(double x, double y, double& outX, double& outY) const;
};
TSwfMatrix ReadSwfMatrix(TSwfBits& bits);

struct TSwfRgba {
  uint8_t R = 0, G = 0, B = 0, A = 255;
  friend bool operator==(const TSwfRgba&, const TSwfRgba&) = default;
};
TSwfRgba ReadSwfRgb(TSwfBits& bits);
TSwfRgba ReadSwfRgba(TSwfBits& bits);

// c' = clamp(c * Mul + Add), per channel; Mul in 8.8 steps as stored, here as a factor.
struct TSwfColorTransform {
  double MulR = 1, MulG = 1, MulB = 1, MulA = 1;
  int AddR = 0, AddG = 0, AddB = 0, AddA = 0;

  // This transform applied after `inner`.
  TSwfColorTransform operator*(const TSwfColorTransform& inner) const;
  TSwfRgba Apply(TSwfRgba c) const;
  bool IsIdentity() const;
};
// CXFORM (PlaceObject2 and older) or CXFORMWITHALPHA (withAlpha).
TSwfColorTransform ReadSwfColorTransform(TSwfBits& bits, bool withAlpha);

}  // namespace kestrava
