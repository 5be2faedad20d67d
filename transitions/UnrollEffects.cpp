#include "transitions/UnrollEffects.h"

#include <algorithm>

#include "transitions/AxisSpans.h"
#include "transitions/EffectDrawing.h"

namespace kestrava {

void MirrorStretch(TCanvas& canvas, const TRect& d, const TBitmap& bitmap, const TRect& s,
                   bool hFlip, bool vFlip) {
  const TRect source = Intersect(s, {0, 0, bitmap.Width(), bitmap.Height()});
  int x = d.Left, w = d.Width(), y = d.Top, h = d.Height();
  if (hFlip) {
    x = d.Right + 1;
    w = (d.Left - 1) - (d.Right + 1);
  }
  if (vFlip) {
    y = d.Bottom + 1;
    h = (d.Top - 1) - (d.Bottom + 1);
  }
  canvas.StretchBlt(x, y, w, h, bitmap, source.Left, source.Top, source.Width(), source.Height());
}

namespace {

// The copies of one effect along its axis, mirrored ones and the roll among them.
struct TSpan : TAxisCopies {
  using TAxisCopies::TAxisCopies;

  void Reveal(int a, int b) const { Copy(a, b, a, b); }
  // Source span [a, b) mirrored into destination span [c, d).
  void Mirror(int a, int b, int c, int d) const {
    MirrorStretch(Screen.Canvas(), Along(c, d), Picture, Along(a, b), Axis == TAxis::Across,
                  Axis == TAxis::Down);
  }

  // The roll grows over the first fifth, keeps a tenth of the length, and shrinks over the last
  // fifth, so that the r pixels it mirrors always lie inside the picture.
  int Roll() const {
    if (s < L / 5) return s / 2;
    if (s + L / 5 > L) return (L - s) / 2;
    return L / 10;
  }
  // How deep the strip is that a build-up smears over the rest.
  int Strip() const { return L / u; }
};

#define KESTRAVA_AXIS_EFFECT(name, axis, body)                                      \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, \
            int Progress) {                                                         \
    const TSpan t(Screen, Picture, R, Step, Progress, axis);                        \
    [[maybe_unused]] const int L = t.L, s = t.s, r = t.Roll(), b = t.Strip();       \
    body;                                                                           \
  }

// Both twins from one description of the copies.
#define KESTRAVA_TWIN_EFFECTS(across, down, body)   \
  KESTRAVA_AXIS_EFFECT(across, TAxis::Across, body) \
  KESTRAVA_AXIS_EFFECT(down, TAxis::Down, body)

}  // namespace

// Unroll: the uncovered part, and just ahead of it the mirror image of the r pixels that follow.
KESTRAVA_TWIN_EFFECTS(UnrollFromLeft, UnrollFromTop,
                      (t.Mirror(s + r, s + 2 * r, s, s + r), t.Reveal(0, s)))
KESTRAVA_TWIN_EFFECTS(UnrollFromRight, UnrollFromBottom,
                      (t.Mirror(L - s - 2 * r, L - s - r, L - s - r, L - s), t.Reveal(L - s, L)))

// Build-up: the uncovered part, and the strip of b pixels just ahead of it stretched over all
// that is still covered (the strip stops at the picture's edge).
KESTRAVA_TWIN_EFFECTS(BuildUpFromRight, ExpandFromBottomBuildUp,
                      (t.Reveal(0, s), t.Copy(s, std::min(s + b, L), s, L)))
KESTRAVA_TWIN_EFFECTS(BuildUpFromLeft, ExpandInFromTopBuildUp,
                      (t.Reveal(L - s, L), t.Copy(std::max(L - s - b, 0), L - s, 0, L - s)))

}  // namespace kestrava
