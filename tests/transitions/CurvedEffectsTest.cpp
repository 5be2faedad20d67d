#include <gtest/gtest.h>

#include <functional>

#include "raster/Region.h"
#include "tests/transitions/RegionEffectTestSupport.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

using test::ExpectSameRegion;
using test::OverFrame;
using test::RevealedRegion;

// Frames whose regions the platform answered for: the picture is 64 by 48.
TEST(CurvedEffects, AgreeWithTheRecordedPlatformRegions) {
  struct Case {
    const char* title;
    int style, progress;
  };
  const Case cases[] = {
      {"curved reveal from left", 58, 31},       // sw = 20
      {"curved reveal from top right", 81, 62},  // sw = 40, sh = 30
      {"circular reveal from centre", 84, 50},   // sw = 32, sh = 24
      {"circular reveal to centre", 85, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const std::optional<Region> recorded = test::RecordedRegion(c.title);
    if (!recorded) GTEST_SKIP() << "no recorded region answers";
    ExpectSameRegion(RevealedRegion(c.style, 64, 48, c.progress), OverFrame(*recorded, 64, 48));
  }
}

// Each style's rounded rectangle, as the geometry gives it (85 is the frame outside it).
using TShape = std::function<Region(int W, int H, int sw, int sh)>;

Region Round(int x1, int y1, int x2, int y2, int ew, int eh) {
  return Region::FromRoundRect(x1, y1, x2, y2, ew, eh);
}

TEST(CurvedEffects, RevealTheirRoundedRectangleOnEveryShape) {
  struct Case {
    int style;
    TShape shape;
  };
  const Case cases[] = {
      {58,
       [](int W, int H, int sw, int) { return Round(-2 * W, -5, 2 * sw, H + 5, 2 * W, 2 * W); }},
      {59,
       [](int W, int H, int sw, int) { return Round(W - 2 * sw, -5, 3 * W, H + 5, 2 * W, 2 * W); }},
      {69,
       [](int W, int H, int, int sh) { return Round(-5, -2 * H, W + 5, 2 * sh, 2 * H, 2 * H); }},
      {70,
       [](int W, int H, int, int sh) { return Round(-5, H - 2 * sh, W + 5, 3 * H, 2 * H, 2 * H); }},
      {80, [](int W, int H, int sw,
              int sh) { return Round(-2 * W, -2 * H, 2 * sw, 2 * sh, 2 * W, 2 * H); }},
      {81, [](int W, int H, int sw,
              int sh) { return Round(W - 2 * sw, -2 * H, 3 * W, 2 * sh, 2 * W, 2 * H); }},
      {82, [](int W, int H, int sw,
              int sh) { return Round(-2 * W, H - 2 * sh, 2 * sw, 3 * H, 2 * W, 2 * H); }},
      // A 2H by 2H corner ellipse, unlike its three sisters.
      {83, [](int W, int H, int sw,
              int sh) { return Round(W - 2 * sw, H - 2 * sh, 3 * W, 3 * H, 2 * H, 2 * H); }},
      {84,
       [](int W, int H, int sw, int sh) {
         return Round(W / 2 - sw, H / 2 - sh, W / 2 + sw, H / 2 + sh, 9 * sw / 5, 9 * sh / 5);
       }},
      {85,
       [](int W, int H, int sw, int sh) {
         return Region::Combined(Region::FromRect(0, 0, W, H),
                                 Round(sw - W / 2, sh - H / 2, 3 * W / 2 - sw, 3 * H / 2 - sh,
                                       9 * (W - sw) / 5, 9 * (H - sh) / 5),
                                 TCombineMode::Xor);
       }},
  };
  const std::pair<int, int> sizes[] = {{64, 48}, {48, 64}, {37, 37}, {90, 20}, {5, 3}, {1, 1}};
  for (const Case& c : cases)
    for (auto [w, h] : sizes)
      for (int progress : {1, 2, 10, 33, 50, 77, 99}) {
        SCOPED_TRACE(::testing::Message()
                     << "style " << c.style << " " << w << "x" << h << " at " << progress);
        const TProgressExtents e = ProgressExtents({0, 0, w, h}, 4, progress);
        ExpectSameRegion(RevealedRegion(c.style, w, h, progress),
                         OverFrame(c.shape(w, h, e.sw, e.sh), w, h));
        if (HasFailure()) return;
      }
}

// The bottom-right front is the top-left one turned half a turn only on a square picture. A round
// rectangle stops one pixel short of its right and bottom edges, so turned it lands one pixel up
// and to the left.
TEST(CurvedEffects, BottomRightFrontMatchesItsSistersOnlyOnASquare) {
  const auto turned = [](const Region& r, int w, int h) {
    std::vector<TRect> rects;
    for (const TRect& t : r.Rects())
      rects.push_back({w - 1 - t.Right, h - 1 - t.Bottom, w - 1 - t.Left, h - 1 - t.Top});
    return Region::FromRects(rects);
  };
  const auto topLeft = [](int w, int h, int progress) {
    const TProgressExtents e = ProgressExtents({0, 0, w, h}, 4, progress);
    return Round(-2 * w, -2 * h, 2 * e.sw, 2 * e.sh, 2 * w, 2 * h);
  };
  ExpectSameRegion(RevealedRegion(83, 40, 40, 30),
                   OverFrame(turned(topLeft(40, 40, 30), 40, 40), 40, 40));
  EXPECT_FALSE(RevealedRegion(83, 64, 32, 30) ==
               OverFrame(turned(topLeft(64, 32, 30), 64, 32), 64, 32));
}

TEST(CurvedEffects, FirstFramesOfSmallPicturesRevealNothing) {
  // 40 by 30 at Progress 1: sw = 0, sh = 0.
  for (int style : {58, 84, 85}) {
    SCOPED_TRACE(style);
    EXPECT_TRUE(RevealedRegion(style, 40, 30, 1).IsEmpty());
  }
  // The shrinking shape of 85 still covers the frame at a quarter of the way.
  EXPECT_TRUE(RevealedRegion(85, 64, 48, 25).IsEmpty());
  EXPECT_FALSE(RevealedRegion(85, 64, 48, 40).IsEmpty());
}

}  // namespace
}  // namespace kestrava
