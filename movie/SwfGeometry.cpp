#include "movie/SwfGeometry.h"

#include <algorithm>
#include <cmath>

namespace kestrava {

// RECT, MATRIX and CXFORM each start on a byte and fill up their last byte: the reads align on
// both sides, so a bit field read after one (DefineShape4's flags) starts on a fresh byte.

TSwfRect ReadSwfRect(TSwfBits& bits) {
  bits.Align();
  TSwfRect rect;
  const int size = int(bits.UBits(5));
  rect.XMin = bits.SBits(size);
  rect.XMax = bits.SBits(size);
  rect.YMin = bits.SBits(size);
  rect.YMax = bits.SBits(size);
  bits.Align();
  return rect;
}

TSwfMatrix TSwfMatrix::operator*(const TSwfMatrix& inner) const {
  TSwfMatrix m;
  m.ScaleX = ScaleX * inner.ScaleX + RotateSkew1 * inner.RotateSkew0;
  m.RotateSkew0 = RotateSkew0 * inner.ScaleX + ScaleY * inner.RotateSkew0;
  m.RotateSkew1 = ScaleX * inner.RotateSkew1 + RotateSkew1 * inner.ScaleY;
  m.ScaleY = RotateSkew0 * inner.RotateSkew1 + ScaleY * inner.ScaleY;
  m.TranslateX = ScaleX * inner.TranslateX + RotateSkew1 * inner.TranslateY + TranslateX;
  m.TranslateY = RotateSkew0 * inner.TranslateX + ScaleY * inner.TranslateY + TranslateY;
  return m;
}

void TSwfMatrix::Apply(double x, double y, double& outX, double& outY) const {
  outX = ScaleX * x + RotateSkew1 * y + TranslateX;
  outY = RotateSkew0 * x + ScaleY * y + TranslateY;
}

TSwfMatrix ReadSwfMatrix(TSwfBits& bits) {
  bits.Align();
  TSwfMatrix m;
  if (bits.Flag()) {
    const int size = int(bits.UBits(5));
    m.ScaleX = bits.FBits(size);
    m.ScaleY = bits.FBits(size);
  }
  if (bits.Flag()) {
    const int size = int(bits.UBits(5));
    m.RotateSkew0 = bits.FBits(size);
    m.RotateSkew1 = bits.FBits(size);
  }
  const int size = int(bits.UBits(5));
  m.TranslateX = bits.SBits(size);
  m.TranslateY = bits.SBits(size);
  bits.Align();
  return m;
}

TSwfRgba ReadSwfRgb(TSwfBits& bits) {
  const auto b = bits.Bytes(3);
  return TSwfRgba{b[0], b[1], b[2], 255};
}

TSwfRgba ReadSwfRgba(TSwfBits& bits) {
  const auto b = bits.Bytes(4);
  return TSwfRgba{b[0], b[1], b[2], b[3]};
}

namespace {

// The player keeps the terms in 8.8 and whole levels; composing in doubles and rounding the sums
// stays within one level of it.
int RoundedAdd(double value) {
  return int(std::lround(std::clamp(value, -65536.0, 65536.0)));
}

uint8_t Channel(uint8_t c, double mul, int add) {
  const double v = std::floor(c * mul) + add;
  return uint8_t(std::clamp(v, 0.0, 255.0));
}

}  // namespace

TSwfColorTransform TSwfColorTransform::operator*(const TSwfColorTransform& inner) const {
  TSwfColorTransform t;
  t.MulR = MulR * inner.MulR;
  t.MulG = MulG * inner.MulG;
  t.MulB = MulB * inner.MulB;
  t.MulA = MulA * inner.MulA;
  t.AddR = RoundedAdd(inner.AddR * MulR + AddR);
  t.AddG = RoundedAdd(inner.AddG * MulG + AddG);
  t.AddB = RoundedAdd(inner.AddB * MulB + AddB);
  t.AddA = RoundedAdd(inner.AddA * MulA + AddA);
  return t;
}

TSwfRgba TSwfColorTransform::Apply(TSwfRgba c) const {
  return TSwfRgba{Channel(c.R, MulR, AddR), Channel(c.G, MulG, AddG), Channel(c.B, MulB, AddB),
                  Channel(c.A, MulA, AddA)};
}

bool TSwfColorTransform::IsIdentity() const {
  return MulR == 1 && MulG == 1 && MulB == 1 && MulA == 1 && AddR == 0 && AddG == 0 && AddB == 0 &&
         AddA == 0;
}

TSwfColorTransform ReadSwfColorTransform(TSwfBits& bits, bool withAlpha) {
  bits.Align();
  TSwfColorTransform t;
  const bool hasAdd = bits.Flag();
  const bool hasMul = bits.Flag();
  const int size = int(bits.UBits(4));
  if (hasMul) {
    t.MulR = bits.SBits(size) / 256.0;
    t.MulG = bits.SBits(size) / 256.0;
    t.MulB = bits.SBits(size) / 256.0;
    if (withAlpha) t.MulA = bits.SBits(size) / 256.0;
  }
  if (hasAdd) {
    t.AddR = bits.SBits(size);
    t.AddG = bits.SBits(size);
    t.AddB = bits.SBits(size);
    if (withAlpha) t.AddA = bits.SBits(size);
  }
  bits.Align();
  return t;
}

}  // namespace kestrava
