#include "transitions/EdgeEffects.h"

#include "transitions/AxisSpans.h"
#include "transitions/EffectDrawing.h"
#include "transitions/RegionReveal.h"

namespace kestrava {

namespace {

using TSpan = TAxisCopies;

#define KESTRAVA_AXIS_EFFECT(name, axis, body)                                      \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, \
            int Progress) {                                                         \
    const TSpan t(Screen, Picture, R, Step, Progress, axis);                        \
    [[maybe_unused]] const int L = t.L, s = t.s;                                    \
    body;                                                                           \
  }

// Both twins from one description of the copies.
#define KESTRAVA_TWIN_EFFECTS(across, down, body)   \
  KESTRAVA_AXIS_EFFECT(across, TAxis::Across, body) \
  KESTRAVA_AXIS_EFFECT(down, TAxis::Down, body)

// Reveals: spans of the picture uncovered in place, given once for the drawing and for the region
// they make.
#define KESTRAVA_AXIS_REVEAL(name, axis, ...)                                       \
  Region name##Region(const TRect& R, uint16_t Step, int Progress) {                \
    const TAxisSpans t(R, Step, Progress, axis);                                    \
    [[maybe_unused]] const int L = t.L, s = t.s;                                    \
    return RectsRegion({__VA_ARGS__});                                              \
  }                                                                                 \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, \
            int Progress) {                                                         \
    const TAxisSpans t(R, Step, Progress, axis);                                    \
    [[maybe_unused]] const int L = t.L, s = t.s;                                    \
    RevealPictureRects(Screen, Picture, {__VA_ARGS__});                             \
  }

#define KESTRAVA_TWIN_REVEALS(across, down, ...)           \
  KESTRAVA_AXIS_REVEAL(across, TAxis::Across, __VA_ARGS__) \
  KESTRAVA_AXIS_REVEAL(down, TAxis::Down, __VA_ARGS__)

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
KESTRAVA_TWIN_REVEALS(RevealFromLeft, RevealFromTop, t.Along(0, s))
KESTRAVA_TWIN_REVEALS(RevealFromRight, RevealFromBottom, t.Along(L - s, L))
KESTRAVA_TWIN_REVEALS(RevealOutFromMiddle, RevealFromMiddleHoriz, t.Along((L - s) / 2, (L + s) / 2))
// Each strip is one pixel wider than half of s, so the two overlap in the middle by the end.
KESTRAVA_TWIN_REVEALS(RevealInFromSides, SlideInFromTopBottom, t.Along(0, s / 2 + 1),
                      t.Along(L - s / 2 - 1, L))
// Expand in: a strip of the picture magnified, shrinking to its true size.
KESTRAVA_TWIN_EFFECTS(ExpandInFromRight, ExpandInFromBottom, t.Copy(0, s, 0, 2 * L - s))
KESTRAVA_TWIN_EFFECTS(ExpandInFromLeft, ExpandInFromTop, t.Copy(L - s, L, s - L, L))
KESTRAVA_TWIN_EFFECTS(ExpandInToMiddle, ExpandInToMiddleHoriz,
                      t.Copy((L - s) / 2, (L + s) / 2, s - L, 2 * L - s))
// The left half (one column past the middle) into the left strip, the right half into the right.
KESTRAVA_TWIN_EFFECTS(ExpandInFromSides, ExpandInFromTopBottom,
                      (t.Copy(0, L / 2 + 1, 0, s / 2 + 1), t.Copy(L / 2, L, L - s / 2 - 1, L)))

}  // namespace kestrava
