#include "transitions/ShredEffects.h"

#include <vector>

#include "raster/Random.h"
#include "raster/Rect.h"
#include "transitions/RegionReveal.h"

namespace kestrava {

namespace {

constexpr int kStrip = 5;  // thickness of a strip

// One direction's strips, written as horizontal ones: each strip is the run of rows
// [top, bottom) between columns from and to (in either order) along a line of the given length;
// `across` is how far the strips repeat. The vertical strips are the same with rows and columns
// exchanged. The draws are made one statement at a time: their order is part of the frame.
template <typename Emit>
void AddStrips(int front, int length, int across, TShredKind kind, Emit emit) {
  if (kind == TShredKind::None) return;
  const uint32_t jitter = front < length ? uint32_t(length / 7) : 0;
  // r1 - r2 (and r3 - r4) for the strip at hand, drawn in that order.
  const auto jitterOf = [jitter] {
    const int r1 = int(Random(jitter));
    return r1 - int(Random(jitter));
  };
  const int overlap = across % kStrip;
  for (int top = 0; top < across; top += kStrip) {
    const int bottom = top + kStrip + overlap;
    switch (kind) {
      case TShredKind::FromFar:
        emit(length - front + jitterOf(), length, top, bottom);
        break;
      case TShredKind::FromNear:
        emit(0, front + jitterOf(), top, bottom);
        break;
      case TShredKind::OutFromMiddle: {
        const int nearJitter = jitterOf();
        const int farJitter = jitterOf();
        emit((length - front + nearJitter) / 2, length / 2, top, bottom);
        emit(length / 2, (length + front + farJitter) / 2, top, bottom);
        break;
      }
      case TShredKind::InToMiddle: {
        const int farJitter = jitterOf();
        const int nearJitter = jitterOf();
        emit(length - (front + farJitter) / 2, length, top, bottom);
        emit(0, (front + nearJitter) / 2, top, bottom);
        break;
      }
      case TShredKind::None:
        break;
    }
  }
}

}  // namespace

Region BuildShredRegion(int a, int b, int w, int h, TShredKind hKind, TShredKind vKind) {
  // Every strip is collected first and the union made in one step.
  std::vector<TRect> rects;
  AddStrips(a, w, h, hKind, [&](int from, int to, int top, int bottom) {
    rects.push_back({from, top, to, bottom});
  });
  AddStrips(b, h, w, vKind, [&](int from, int to, int left, int right) {
    rects.push_back({left, from, right, to});
  });
  return Region::FromRects(rects);
}

namespace {

using enum TShredKind;

}  // namespace

#define KESTRAVA_SHRED_EFFECT(name, a, b, hKind, vKind)              \
  Region name##Region(const TRect& R, uint16_t Step, int Progress) { \
    const TProgressExtents e = ProgressExtents(R, Step, Progress);   \
    [[maybe_unused]] const int sw = e.sw, sh = e.sh;                 \
    return BuildShredRegion(a, b, e.W, e.H, hKind, vKind);           \
  }                                                                  \
  KESTRAVA_REVEAL_THROUGH_REGION(name)

// Horizontal strips.
KESTRAVA_SHRED_EFFECT(UnevenShredFromRight, sw, 0, FromFar, None)
KESTRAVA_SHRED_EFFECT(UnevenShredFromLeft, sw, 0, FromNear, None)
KESTRAVA_SHRED_EFFECT(UnevenShredOutFromMiddleHoriz, sw, 0, OutFromMiddle, None)
KESTRAVA_SHRED_EFFECT(UnevenShredInToMiddleHoriz, sw, 0, InToMiddle, None)

// Vertical strips.
KESTRAVA_SHRED_EFFECT(UnevenShredFromBottom, 0, sh, None, FromFar)
KESTRAVA_SHRED_EFFECT(UnevenShredFromTop, 0, sh, None, FromNear)
KESTRAVA_SHRED_EFFECT(UnevenShredFromHorizon, 0, sh, None, OutFromMiddle)
KESTRAVA_SHRED_EFFECT(UnevenShredInToHorizon, 0, sh, None, InToMiddle)

// Both, the horizontal strips drawn first.
KESTRAVA_SHRED_EFFECT(UnevenShredFromBottomAndRight, sw, sh, FromFar, FromFar)
KESTRAVA_SHRED_EFFECT(UnevenShredFromTopAndRight, sw, sh, FromFar, FromNear)
KESTRAVA_SHRED_EFFECT(UnevenShredFromBottomAndLeft, sw, sh, FromNear, FromFar)
KESTRAVA_SHRED_EFFECT(UnevenShredFromTopAndLeft, sw, sh, FromNear, FromNear)
KESTRAVA_SHRED_EFFECT(UnevenShredFromHorizAndRight, sw, sh, FromFar, OutFromMiddle)
KESTRAVA_SHRED_EFFECT(UnevenShredFromHorizAndLeft, sw, sh, FromNear, OutFromMiddle)
KESTRAVA_SHRED_EFFECT(UnevenShredFromBottomAndVertMiddle, sw, sh, OutFromMiddle, FromFar)
KESTRAVA_SHRED_EFFECT(UnevenShredFromTopAndVertMiddle, sw, sh, OutFromMiddle, FromNear)
KESTRAVA_SHRED_EFFECT(UnevenShredFromCentre, sw, sh, OutFromMiddle, OutFromMiddle)
KESTRAVA_SHRED_EFFECT(UnevenShredToCentre, sw, sh, InToMiddle, InToMiddle)

#undef KESTRAVA_SHRED_EFFECT

}  // namespace kestrava
