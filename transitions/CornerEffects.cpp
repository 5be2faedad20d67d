#include "transitions/CornerEffects.h"

#include "transitions/EffectDrawing.h"
#include "transitions/RegionReveal.h"

namespace kestrava {

namespace {

// The sw by sh rectangle in the middle of the frame.
TRect CentreRect(int W, int H, int sw, int sh) {
  return {(W - sw) / 2, (H - sh) / 2, (W + sw) / 2, (H + sh) / 2};
}

// The values every effect here starts from, and its copies spelt as the geometry gives them.
struct TCorner {
  TBitmap& Screen;
  const TBitmap& Picture;
  int W, H, sw, sh;

  TCorner(TBitmap& screen, const TBitmap& picture, const TRect& r, uint16_t step, int progress)
      : Screen(screen), Picture(picture) {
    const TProgressExtents e = ProgressExtents(r, step, progress);
    W = e.W;
    H = e.H;
    sw = e.sw;
    sh = e.sh;
  }
  TRect Whole() const { return {0, 0, W, H}; }
  TRect Centre() const { return CentreRect(W, H, sw, sh); }
  void Copy(const TRect& s, const TRect& d) const { CopyPicture(Screen, Picture, s, d); }
};

}  // namespace

#define KESTRAVA_CORNER_EFFECT(name, body)                                          \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, \
            int Progress) {                                                         \
    const TCorner c(Screen, Picture, R, Step, Progress);                            \
    [[maybe_unused]] const int W = c.W, H = c.H, sw = c.sw, sh = c.sh;              \
    body;                                                                           \
  }

// Reveals: rectangles of the picture uncovered in place, given once for the drawing and for the
// region they make.
#define KESTRAVA_CORNER_REVEAL(name, ...)                                           \
  Region name##Region(const TRect& R, uint16_t Step, int Progress) {                \
    const TProgressExtents e = ProgressExtents(R, Step, Progress);                  \
    [[maybe_unused]] const int W = e.W, H = e.H, sw = e.sw, sh = e.sh;              \
    return RectsRegion({__VA_ARGS__});                                              \
  }                                                                                 \
  void name(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, \
            int Progress) {                                                         \
    const TProgressExtents e = ProgressExtents(R, Step, Progress);                  \
    [[maybe_unused]] const int W = e.W, H = e.H, sw = e.sw, sh = e.sh;              \
    RevealPictureRects(Screen, Picture, {__VA_ARGS__});                             \
  }

// Expand: the whole picture squeezed into a rectangle growing from a corner.
KESTRAVA_CORNER_EFFECT(ExpandFromBottomRight, c.Copy(c.Whole(), {W - sw, H - sh, W, H}))
KESTRAVA_CORNER_EFFECT(ExpandFromTopRight, c.Copy(c.Whole(), {W - sw, 0, W, sh}))
KESTRAVA_CORNER_EFFECT(ExpandFromTopLeft, c.Copy(c.Whole(), {0, 0, sw, sh}))
KESTRAVA_CORNER_EFFECT(ExpandFromBottomLeft, c.Copy(c.Whole(), {0, H - sh, sw, H}))

// Slide: the full-size picture moving in from beyond a corner.
KESTRAVA_CORNER_EFFECT(SlideInFromBottomRight,
                       c.Copy(c.Whole(), {W - sw, H - sh, 2 * W - sw, 2 * H - sh}))
KESTRAVA_CORNER_EFFECT(SlideInFromTopRight, c.Copy(c.Whole(), {W - sw, sh - H, 2 * W - sw, sh}))
KESTRAVA_CORNER_EFFECT(SlideInFromTopLeft, c.Copy(c.Whole(), {sw - W, sh - H, sw, sh}))
KESTRAVA_CORNER_EFFECT(SlideInFromBottomLeft, c.Copy(c.Whole(), {sw - W, H - sh, sw, 2 * H - sh}))

// Reveal: a growing corner of the picture uncovered in place.
KESTRAVA_CORNER_REVEAL(RevealFromTopLeft, {0, 0, sw, sh})
KESTRAVA_CORNER_REVEAL(RevealFromBottomLeft, {0, H - sh, sw, H})
KESTRAVA_CORNER_REVEAL(RevealFromBottomRight, {W - sw, H - sh, W, H})
KESTRAVA_CORNER_REVEAL(RevealFromTopRight, {W - sw, 0, W, sh})

// Appear and contract: a growing corner of the picture magnified, shrinking to its true size.
KESTRAVA_CORNER_EFFECT(AppearAndContractToTopLeft,
                       c.Copy({0, 0, sw, sh}, {0, 0, 2 * W - sw, 2 * H - sh}))
KESTRAVA_CORNER_EFFECT(AppearAndContractToBottomLeft,
                       c.Copy({0, H - sh, sw, H}, {0, sh - H, 2 * W - sw, H}))
KESTRAVA_CORNER_EFFECT(AppearAndContractToBottomRight,
                       c.Copy({W - sw, H - sh, W, H}, {sw - W, sh - H, W, H}))
KESTRAVA_CORNER_EFFECT(AppearAndContractToTopRight,
                       c.Copy({W - sw, 0, W, sh}, {sw - W, 0, W, 2 * H - sh}))
KESTRAVA_CORNER_EFFECT(AppearAndContractToMiddle,
                       c.Copy(c.Centre(), {sw - W, sh - H, 2 * W - sw, 2 * H - sh}))

// Centre.
KESTRAVA_CORNER_EFFECT(ExpandOutFromCentre, c.Copy(c.Whole(), c.Centre()))
KESTRAVA_CORNER_REVEAL(RevealOutFromCentre, CentreRect(W, H, sw, sh))
// A frame-shaped border closing in from all four edges.
KESTRAVA_CORNER_REVEAL(RevealInToCentre, {0, 0, W, sh / 2}, {0, H - sh / 2, W, H},
                       {0, 0, sw / 2, H}, {W - sw / 2, 0, W, H})
// Quarters. The one-pixel asymmetries (the +1 and -1 terms) are part of the geometry.
KESTRAVA_CORNER_REVEAL(QuartersRevealInToMiddle, {0, 0, sw / 2 + 1, sh / 2 + 1},
                       {0, H - sh / 2 - 1, sw / 2 + 1, H}, {W - sw / 2 - 1, H - sh / 2 - 1, W, H},
                       {W - sw / 2 - 1, 0, W, sh / 2 + 1})
KESTRAVA_CORNER_EFFECT(QuartersExpandToMiddle,
                       (c.Copy({0, 0, W / 2 + 1, H / 2 + 1}, {0, 0, sw / 2 + 1, sh / 2 + 1}),
                        c.Copy({0, H / 2 + 1, W / 2 + 1, H}, {0, H - sh / 2, sw / 2 + 1, H}),
                        c.Copy({W / 2 + 1, H / 2 + 1, W, H}, {W - sw / 2, H - sh / 2, W, H}),
                        c.Copy({W / 2 + 1, 0, W, H / 2 + 1}, {W - sw / 2, 0, W, sh / 2 + 1})))
// Each quarter slides in from its own side, turning clockwise, starting half a frame away.
KESTRAVA_CORNER_EFFECT(
    QuartersSlideInToMiddle,
    (c.Copy({0, 0, W / 2 + 1, H / 2 + 1}, {(sw - W) / 2, 0, sw / 2 + 1, H / 2 + 1}),
     c.Copy({W / 2 - 1, 0, W, H / 2 + 1}, {W / 2 - 1, (sh - H) / 2, W, sh / 2 + 1}),
     c.Copy({W / 2 + 1, H / 2 - 1, W, H}, {W - sw / 2, H / 2 - 1, (W - sw) / 2 + W, H}),
     c.Copy({0, H / 2 + 1, W / 2 + 1, H}, {0, H - sh / 2, W / 2 + 1, (H - sh) / 2 + H})))

}  // namespace kestrava
