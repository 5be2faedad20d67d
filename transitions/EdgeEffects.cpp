#include "transitions/EdgeEffects.h"

#include "transitions/EffectDrawing.h"

namespace kestrava {

namespace {

// Each effect of this family is written once along an axis; the vertical twin exchanges rows
// and columns. Along the axis, L is the frame's length and s the length the new picture reached.
enum class TAxis { Across, Down };

struct TSpan {
  TBitmap& Screen;
  const TBitmap& Picture;
  TAxis Axis;
  int W, H;
  int L, s;

  TSpan(TBitmap& screen, const TBitmap& picture, const TRect& r, uint16_t step, int progress,
        TAxis axis)
      : Screen(screen), Picture(picture), Axis(axis) {
    const TProgressExtents e = ProgressExtents(r, step, progress);
    W = e.W;
    H = e.H;
    L = axis == TAxis::Across ? e.W : e.H;
    s = axis == TAxis::Across ? e.sw : e.sh;
  }

  // Source span [a, b) into destination span [c, d), each the full extent across the axis.
  void Copy(int a, int b, int c, int d) const {
    if (Axis == TAxis::Across)
      CopyPicture(Screen, Picture, {a, 0, b, H}, {c, 0, d, H});
    else
      CopyPicture(Screen, Picture, {0, a, W, b}, {0, c, W, d});
  }
  void Reveal(int a, int b) const { Copy(a, b, a, b); }
};

#define KESTRAVA_AXIS_EFFECT(name, axis, body)                                                 \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step,            \
            int Progress) {                                                                    \
    const TSpan t(Screen, Picture, R, Step, Progress, axis);                                   \
    [[maybe_unused]] const int L = t.L, s = t.s;                                               \
    body;                                                                                      \
  }

// Both twins from one description of the copies.
#define KESTRAVA_TWIN_EFFECTS(across, down, body)  \
  KESTRAVA_AXIS_EFFECT(across, TAxis::Across, body) \
  KESTRAVA_AXIS_EFFECT(down, TAxis::Down, body)

}  // namespace

// Expand: the whole picture squeezed into a strip growing from an edge or the middle line.
KESTRAVA_TWIN_EFFECTS(ExpandFromRight, ExpandFromBottom, t.Copy(0, L, L - s, L))
KESTRAVA_TWIN_EFFECTS(ExpandFromLeft, ExpandFromTop, t.Copy(0, L, 0, s))
KESTRAVA_TWIN_EFFECTS(ExpandOutFromMiddle, ExpandOutFromMiddleHoriz,
                      t.Copy(0, L, (L - s) / 2, (L + s) / 2))
// Slide: the picture at full size moving in from outside.
KESTRAVA_TWIN_EFFECTS(SlideInFromRight, SlideInFromBottom, t.Copy(0, L, L - s, 2 * L - s))
KESTRAVA_TWIN_EFFECTS(SlideInFromLeft, SlideInFromTop, t.Copy(0, L, s - L, s))
// Reveal: the picture uncovered in place.
KESTRAVA_TWIN_EFFECTS(RevealFromLeft, RevealFromTop, t.Reveal(0, s))
KESTRAVA_TWIN_EFFECTS(RevealFromRight, RevealFromBottom, t.Reveal(L - s, L))
KESTRAVA_TWIN_EFFECTS(RevealOutFromMiddle, RevealFromMiddleHoriz, t.Reveal((L - s) / 2, (L + s) / 2))
// Each strip is one pixel wider than half of s, so the two overlap in the middle by the end.
KESTRAVA_TWIN_EFFECTS(RevealInFromSides, SlideInFromTopBottom,
                      (t.Reveal(0, s / 2 + 1), t.Reveal(L - s / 2 - 1, L)))
// Expand in: a strip of the picture magnified, shrinking to its true size.
KESTRAVA_TWIN_EFFECTS(ExpandInFromRight, ExpandInFromBottom, t.Copy(0, s, 0, 2 * L - s))
KESTRAVA_TWIN_EFFECTS(ExpandInFromLeft, ExpandInFromTop, t.Copy(L - s, L, s - L, L))
KESTRAVA_TWIN_EFFECTS(ExpandInToMiddle, ExpandInToMiddleHoriz,
                      t.Copy((L - s) / 2, (L + s) / 2, s - L, 2 * L - s))
// The left half (one column past the middle) into the left strip, the right half into the right.
KESTRAVA_TWIN_EFFECTS(ExpandInFromSides, ExpandInFromTopBottom,
                      (t.Copy(0, L / 2 + 1, 0, s / 2 + 1), t.Copy(L / 2, L, L - s / 2 - 1, L)))

}  // namespace kestrava
