#include "transitions/BlindEffects.h"

#include <algorithm>
#include <vector>

#include "raster/Region.h"
#include "transitions/RegionReveal.h"

namespace kestrava {

namespace {

// Every effect here is written once with its strips repeating along the x axis (columns);
// its twin repeats them along y (rows). All the strips of a frame are collected and united in
// one step.
enum class TAxis { X, Y };

struct TStrips {
  TAxis Along, Across;  // the axis the main strips repeat along, and the other one
  int W, H, P;
  int u;     // the step unit, at least 1: a frame that small still divides by it
  int L, s;  // along the main axis: the frame's length and the length the picture reached
  int M;     // the frame's length across the main axis
  std::vector<TRect> Rects;

  TStrips(const TRect& r, uint16_t step, int progress, TAxis along) : Along(along), P(progress) {
    const TProgressExtents e = ProgressExtents(r, step, progress);
    W = e.W;
    H = e.H;
    u = std::max(e.u, 1);
    Across = along == TAxis::X ? TAxis::Y : TAxis::X;
    L = along == TAxis::X ? W : H;
    s = along == TAxis::X ? e.sw : e.sh;
    M = along == TAxis::X ? H : W;
  }

  int Length(TAxis axis) const { return axis == TAxis::X ? W : H; }
  // The strip [a, b) of an axis, reaching over the whole frame the other way.
  void Add(TAxis axis, int a, int b) {
    Rects.push_back(axis == TAxis::X ? TRect{a, 0, b, H} : TRect{0, a, W, b});
  }

  // How far a strip of the given pitch has opened.
  int Open(int pitch) const { return pitch * P / 100; }

  // A pitch of 0 would repeat one strip without end; such a set of strips draws nothing.

  // Strips opening `open` wide from the near edge of each pitch, the first at 0.
  void FromNear(TAxis axis, int pitch, int open) {
    if (pitch <= 0) return;
    for (int a = 0; a < Length(axis); a += pitch)
      Add(axis, a, a + open);
  }
  // The same from the far edge: the first strip ends at the frame's far side, the last ends at
  // or before 0 (and adds nothing).
  void FromFar(TAxis axis, int pitch, int open) {
    if (pitch <= 0) return;
    for (int b = Length(axis); b >= 0; b -= pitch)
      Add(axis, b - open, b);
  }
  // Bars centred in their pitch and growing both ways.
  void Bars(TAxis axis, int pitch) {
    if (pitch <= 0) return;
    const int d = pitch * P / 200;
    for (int a = pitch / 2 - d; a < Length(axis); a += pitch)
      Add(axis, a, a + 2 * d);
  }

  Region Area() const { return Region::FromRects(Rects); }
};

}  // namespace

#define KESTRAVA_STRIP_EFFECT(name, along, body)                                 \
  Region name##Region(const TRect& R, uint16_t Step, int Progress) {             \
    TStrips t(R, Step, Progress, along);                                         \
    [[maybe_unused]] const int L = t.L, s = t.s, M = t.M, u = t.u, P = Progress; \
    body;                                                                        \
    return t.Area();                                                             \
  }                                                                              \
  KESTRAVA_REVEAL_THROUGH_REGION(name)

// Both twins from one description of the strips.
#define KESTRAVA_TWIN_EFFECTS(columns, rows, body) \
  KESTRAVA_STRIP_EFFECT(columns, TAxis::X, body)   \
  KESTRAVA_STRIP_EFFECT(rows, TAxis::Y, body)

// About u blinds, each opening to its full pitch.
KESTRAVA_TWIN_EFFECTS(BlindVertically, BlindHorizontally, t.FromNear(t.Along, L / u, t.Open(L / u)))
// The pitch grows with the picture too: many narrow blinds at first, few wide ones at the end.
KESTRAVA_TWIN_EFFECTS(UnevenBlindFromLeft, UnevenBlindFromTop, t.FromNear(t.Along, s, t.Open(s)))
KESTRAVA_TWIN_EFFECTS(UnevenBlindFromRight, UnevenBlindFromBottom, t.FromFar(t.Along, s, t.Open(s)))

// Bars lying along the main axis and repeated across it, united with uneven blinds.
KESTRAVA_TWIN_EFFECTS(RectanglesAppearFromLeftAndDisappearToRight,
                      RectanglesAppearFromUpAndDisappearToBottom,
                      (t.Bars(t.Across, M / u), t.FromNear(t.Along, s, t.Open(s))))
KESTRAVA_TWIN_EFFECTS(RectanglesAppearFromRightAndDisappearToLeft,
                      RectanglesAppearFromBottomAndDisappearToUp,
                      (t.Bars(t.Across, M / u), t.FromFar(t.Along, s, t.Open(s))))

#undef KESTRAVA_TWIN_EFFECTS
#undef KESTRAVA_STRIP_EFFECT

}  // namespace kestrava
