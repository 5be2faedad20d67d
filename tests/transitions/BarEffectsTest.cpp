#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "raster/Region.h"
#include "tests/transitions/RegionEffectTestSupport.h"
#include "transitions/BandRegion.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

using test::ExpectSameRegion;
using test::OverFrame;
using test::RevealedRegion;
using enum TBandKind;

// Small band combs worked out by hand: bands are rows (or columns) 10k..10k+4 (even) and
// 10k+5..10k+9 (odd).
TEST(BandRegion, BuildsTheBandsOfEachKindAndPhase) {
  struct Case {
    const char* name;
    int a, b, w, h, snap;
    TBandKind hKind, vKind;
    std::vector<TRect> bands;
  };
  const Case cases[] = {
      {"even rows from the right",
       6,
       0,
       20,
       12,
       0,
       FromFar,
       None,
       {{14, 0, 20, 5}, {14, 10, 20, 15}}},
      {"even rows from the left, not yet snapped",
       14,
       0,
       20,
       12,
       6,
       FromNear,
       None,
       {{0, 0, 14, 5}, {0, 10, 14, 15}}},
      {"even rows snap to full width",
       15,
       0,
       20,
       12,
       6,
       FromNear,
       None,
       {{0, 0, 20, 5}, {0, 10, 20, 15}}},
      {"odd rows from the right after the even ones",
       26,
       0,
       20,
       12,
       30,
       FromFar,
       None,
       {{0, 0, 20, 5}, {14, 5, 20, 10}, {0, 10, 20, 15}, {14, 15, 20, 20}}},
      {"bounce: odd rows from the right",
       26,
       0,
       20,
       12,
       0,
       NearThenFar,
       None,
       {{0, 0, 20, 5}, {14, 5, 20, 10}, {0, 10, 20, 15}, {14, 15, 20, 20}}},
      {"bounce: odd rows from the left",
       26,
       0,
       20,
       12,
       0,
       FarThenNear,
       None,
       {{0, 0, 20, 5}, {0, 5, 6, 10}, {0, 10, 20, 15}, {0, 15, 6, 20}}},
      {"bounce: even rows from the right first",
       6,
       0,
       20,
       12,
       0,
       FarThenNear,
       None,
       {{14, 0, 20, 5}, {14, 10, 20, 15}}},
      {"even rows from the right, odd from the left at once",
       4,
       0,
       20,
       12,
       0,
       BothEdges,
       None,
       {{16, 0, 20, 5}, {0, 5, 4, 10}, {16, 10, 20, 15}, {0, 15, 4, 20}}},
      {"a picture below 5 pixels high gets one band",
       6,
       0,
       20,
       3,
       0,
       FromNear,
       None,
       {{0, 0, 6, 5}}},
      {"even columns from the bottom",
       0,
       4,
       12,
       20,
       0,
       None,
       FromFar,
       {{0, 16, 5, 20}, {10, 16, 15, 20}}},
      {"columns from the bottom and the top at once",
       0,
       4,
       12,
       20,
       0,
       None,
       BothEdges,
       {{0, 16, 5, 20}, {5, 0, 10, 4}, {10, 16, 15, 20}, {15, 0, 20, 4}}},
      {"odd columns from the top after the even ones",
       0,
       26,
       12,
       20,
       0,
       None,
       FromNear,
       {{0, 0, 5, 20}, {5, 0, 10, 6}, {10, 0, 15, 20}, {15, 0, 20, 6}}},
      {"rows and columns united",
       6,
       4,
       12,
       12,
       0,
       FromNear,
       FromNear,
       {{0, 0, 6, 5}, {0, 10, 6, 15}, {0, 0, 5, 4}, {10, 0, 15, 4}}},
      {"the snap holds for one direction only",
       15,
       4,
       20,
       20,
       6,
       FromNear,
       FromNear,
       {{0, 0, 20, 5},
        {0, 10, 20, 15},
        {0, 20, 20, 25},
        {0, 0, 5, 4},
        {10, 0, 15, 4},
        {20, 0, 25, 4}}},
      {"no kinds, no bands", 6, 4, 12, 12, 0, None, None, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSameRegion(BuildBandRegion(c.a, c.b, c.w, c.h, c.snap, c.hKind, c.vKind),
                     Region::FromRects(c.bands));
  }
}

// What each member passes to the band builder, from (W, H, sw, sh, u).
using TBands = std::function<Region(int W, int H, int sw, int sh, int u)>;

TBands Bands(int aTimes, int bTimes, bool snaps, TBandKind hKind, TBandKind vKind) {
  return [=](int W, int H, int sw, int sh, int u) {
    return BuildBandRegion(aTimes * sw, bTimes * sh, W, H, snaps ? u : 0, hKind, vKind);
  };
}

TEST(BarEffects, EachMemberRevealsItsBands) {
  struct Case {
    int style;
    TBands bands;
  };
  const Case cases[] = {
      {60, Bands(2, 0, true, FromFar, None)},
      {61, Bands(2, 0, true, FromNear, None)},
      {62, Bands(2, 0, true, NearThenFar, None)},
      {63, Bands(2, 0, true, FarThenNear, None)},
      {64, Bands(1, 0, false, BothEdges, None)},
      {71, Bands(0, 2, true, None, FromFar)},
      {72, Bands(0, 2, true, None, FromNear)},
      {73, Bands(0, 2, true, None, NearThenFar)},
      {74, Bands(0, 2, true, None, FarThenNear)},
      {75, Bands(0, 1, false, None, BothEdges)},
      {86, Bands(2, 2, true, FromFar, FromFar)},
      {87, Bands(2, 2, true, FromFar, FromNear)},
      {88, Bands(2, 2, true, FromNear, FromFar)},
      {89, Bands(2, 2, true, FromNear, FromNear)},
      {90, Bands(2, 2, true, NearThenFar, NearThenFar)},
      {91, Bands(2, 2, true, NearThenFar, FarThenNear)},
      {92, Bands(2, 2, true, FarThenNear, NearThenFar)},
      {93, Bands(2, 2, true, FarThenNear, FarThenNear)},
      {94, Bands(1, 1, true, FromFar, BothEdges)},
      {95, Bands(1, 1, true, FromNear, BothEdges)},
      {96, Bands(1, 1, true, BothEdges, FromFar)},
      {97, Bands(1, 1, true, BothEdges, FromNear)},
      {98, Bands(1, 1, false, BothEdges, BothEdges)},
      {99,
       [](int W, int H, int sw, int sh, int u) {
         return Region::Combined(Bands(2, 2, true, FromFar, FromFar)(W, H, sw, sh, u),
                                 Bands(2, 2, true, FromNear, FromNear)(W, H, sw, sh, u),
                                 TCombineMode::And);
       }},
  };
  const std::pair<int, int> sizes[] = {{64, 48}, {48, 64}, {33, 33}, {17, 3}, {1, 1}};
  for (const Case& c : cases)
    for (auto [w, h] : sizes)
      for (uint16_t step : {1, 4})
        for (int progress : {1, 20, 47, 50, 51, 76, 99}) {
          SCOPED_TRACE(::testing::Message() << "style " << c.style << " " << w << "x" << h
                                            << " step " << step << " at " << progress);
          const TProgressExtents e = ProgressExtents({0, 0, w, h}, step, progress);
          ExpectSameRegion(RevealedRegion(c.style, w, h, progress, step),
                           OverFrame(c.bands(w, h, e.sw, e.sh, e.u), w, h));
          if (HasFailure()) return;
        }
}

// A 100 by 40 picture at Step 4: u = 4 and A = 2 Progress, so A + u first exceeds W at 49.
TEST(BarEffects, EvenBarsSnapToFullWidthBeforeAnyOddBar) {
  const Region at48 = RevealedRegion(61, 100, 40, 48);
  ExpectSameRegion(at48,
                   OverFrame(Region::FromRects(std::vector<TRect>{
                                 {0, 0, 96, 5}, {0, 10, 96, 15}, {0, 20, 96, 25}, {0, 30, 96, 35}}),
                             100, 40));
  const Region full = Region::FromRects(
      std::vector<TRect>{{0, 0, 100, 5}, {0, 10, 100, 15}, {0, 20, 100, 25}, {0, 30, 100, 35}});
  ExpectSameRegion(RevealedRegion(61, 100, 40, 49), full);
  ExpectSameRegion(RevealedRegion(61, 100, 40, 50), full);
  // Past the middle the odd bars start from the same edge, 2 (A - W) wide.
  ExpectSameRegion(
      RevealedRegion(61, 100, 40, 51),
      Region::Combined(full,
                       Region::FromRects(std::vector<TRect>{
                           {0, 5, 2, 10}, {0, 15, 2, 20}, {0, 25, 2, 30}, {0, 35, 2, 40}}),
                       TCombineMode::Or));
  // With u past the width (Step 100: u = 111) the even bars are full from the first frame.
  ExpectSameRegion(RevealedRegion(60, 100, 40, 1, 100), full);
  // Without a snap the bars of style 64 never jump: at 49 they reach 49 from each side.
  EXPECT_FALSE(RevealedRegion(64, 100, 40, 49).Contains(49, 0));
  EXPECT_TRUE(RevealedRegion(64, 100, 40, 49).Contains(51, 0));
}

// 100 by 40 at Step 1 (u = 1), Progress 10: sw = 10, sh = 4, so rows from the right reach
// columns 80..99, rows from the left 0..19, columns from the top rows 0..7, from the bottom
// rows 32..39. Only the crossings show: squares at the top right, short ones at the bottom left.
TEST(BarEffects, CrissCrossFromBottomLeftTopRightShowsOnlyTheCrossings) {
  ExpectSameRegion(RevealedRegion(99, 100, 40, 10, 1),
                   Region::FromRects(std::vector<TRect>{
                       {80, 0, 85, 5}, {90, 0, 95, 5}, {0, 32, 5, 35}, {10, 32, 15, 35}}));
}

}  // namespace
}  // namespace kestrava
