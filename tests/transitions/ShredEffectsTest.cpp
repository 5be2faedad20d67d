#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "raster/Random.h"
#include "raster/Region.h"
#include "tests/transitions/ReferenceRandom.h"
#include "tests/transitions/RegionEffectTestSupport.h"
#include "transitions/ShredEffects.h"

namespace kestrava {
namespace {

using test::ExpectSameFrame;
using test::ExpectSameRegion;
using test::OverFrame;
using test::RevealedRegion;
using test::TReferenceRandom;
using enum TShredKind;

constexpr uint32_t kSeed = 20240613;

// Small pictures with the strips written out: each case draws its jitter, d = r1 - r2 with
// r = Random(J), from the reference generator in the order the strips are made. J = 10 for a
// side of 70, 4 for 28, 5 for 35, 0 below 7.
TEST(ShredRegion, BuildsTheStripsOfEachKindFromTheDraws) {
  using TStrips = std::function<std::vector<TRect>(TReferenceRandom&)>;
  struct Case {
    const char* name;
    int a, b, w, h;
    TShredKind hKind, vKind;
    TStrips strips;
  };
  const Case cases[] = {
      {"rows from the right; 12 rows make strips 7 high", 30, 0, 70, 12, FromFar, None,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int y : {0, 5, 10})
           v.push_back({40 + r.Difference(10), y, 70, y + 7});
         return v;
       }},
      {"rows from the left", 30, 0, 70, 12, FromNear, None,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int y : {0, 5, 10})
           v.push_back({0, y, 30 + r.Difference(10), y + 7});
         return v;
       }},
      // At A = 0 a near end past the centre line turns into a strip on the far side.
      {"rows out from the middle at the start", 0, 0, 70, 30, OutFromMiddle, None,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int y = 0; y < 30; y += 5) {
           const int d1 = r.Difference(10), d2 = r.Difference(10);
           v.push_back({(70 + d1) / 2, y, 35, y + 5});
           v.push_back({35, y, (70 + d2) / 2, y + 5});
         }
         return v;
       }},
      // Near ends below zero are halved toward zero: -7 div 2 is -3.
      {"rows out from the middle near the edges", 68, 0, 70, 70, OutFromMiddle, None,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int y = 0; y < 70; y += 5) {
           const int d1 = r.Difference(10), d2 = r.Difference(10);
           v.push_back({(2 + d1) / 2, y, 35, y + 5});
           v.push_back({35, y, (138 + d2) / 2, y + 5});
         }
         return v;
       }},
      {"rows in to the middle", 20, 0, 70, 10, InToMiddle, None,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int y : {0, 5}) {
           const int d1 = r.Difference(10), d2 = r.Difference(10);
           v.push_back({70 - (20 + d1) / 2, y, 70, y + 5});
           v.push_back({0, y, (20 + d2) / 2, y + 5});
         }
         return v;
       }},
      // Turned strips lie beyond the edges, their negative ends halved toward zero.
      {"rows in to the middle at the start", 0, 0, 70, 70, InToMiddle, None,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int y = 0; y < 70; y += 5) {
           const int d1 = r.Difference(10), d2 = r.Difference(10);
           v.push_back({70 - d1 / 2, y, 70, y + 5});
           v.push_back({0, y, d2 / 2, y + 5});
         }
         return v;
       }},
      {"columns from the bottom; 12 columns make strips 7 wide", 0, 30, 12, 70, None, FromFar,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int x : {0, 5, 10})
           v.push_back({x, 40 + r.Difference(10), x + 7, 70});
         return v;
       }},
      {"columns from the top", 0, 30, 12, 70, None, FromNear,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int x : {0, 5, 10})
           v.push_back({x, 0, x + 7, 30 + r.Difference(10)});
         return v;
       }},
      {"columns out from the middle", 0, 10, 10, 70, None, OutFromMiddle,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int x : {0, 5}) {
           const int d1 = r.Difference(10), d2 = r.Difference(10);
           v.push_back({x, (60 + d1) / 2, x + 5, 35});
           v.push_back({x, 35, x + 5, (80 + d2) / 2});
         }
         return v;
       }},
      {"columns in to the middle", 0, 20, 10, 70, None, InToMiddle,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int x : {0, 5}) {
           const int d1 = r.Difference(10), d2 = r.Difference(10);
           v.push_back({x, 70 - (20 + d1) / 2, x + 5, 70});
           v.push_back({x, 0, x + 5, (20 + d2) / 2});
         }
         return v;
       }},
      {"all rows are drawn before the columns", 20, 30, 28, 35, FromNear, FromFar,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int y = 0; y < 35; y += 5)
           v.push_back({0, y, 20 + r.Difference(4), y + 5});
         for (int x = 0; x < 28; x += 5)
           v.push_back({x, 5 + r.Difference(5), x + 8, 35});
         return v;
       }},
      // Random(0) still advances the generator, which the columns then show.
      {"under 7 wide the rows are straight but still draw", 3, 30, 6, 70, FromNear, FromFar,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int y = 0; y < 70; y += 5)
           v.push_back({0, y, 3 + r.Difference(0), y + 5});
         for (int x : {0, 5})
           v.push_back({x, 40 + r.Difference(10), x + 6, 70});
         return v;
       }},
      {"12 rows: strips at 0, 5 and 10, 7 high, the last to row 16", 3, 0, 6, 12, FromNear, None,
       [](TReferenceRandom& r) {
         for (int i = 0; i < 3; ++i)
           EXPECT_EQ(r.Difference(0), 0);
         return std::vector<TRect>{{0, 0, 3, 7}, {0, 5, 3, 12}, {0, 10, 3, 17}};
       }},
      {"the front at the edge has no jitter", 70, 0, 70, 10, FromNear, None,
       [](TReferenceRandom& r) {
         std::vector<TRect> v;
         for (int y : {0, 5})
           v.push_back({0, y, 70 + r.Difference(0), y + 5});
         return v;
       }},
      {"no kinds, no strips", 30, 30, 70, 70, None, None,
       [](TReferenceRandom&) { return std::vector<TRect>{}; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TReferenceRandom expectedDraws(kSeed);
    const Region expected = Region::FromRects(c.strips(expectedDraws));
    SetRandSeed(kSeed);
    ExpectSameRegion(BuildShredRegion(c.a, c.b, c.w, c.h, c.hKind, c.vKind), expected);
    EXPECT_EQ(RandSeed(), expectedDraws.Seed()) << "a different number of draws";
  }
}

// Each strip's end lies within J - 1 of the front either way, and over many frames reaches both
// bounds. A 70 by 70 picture: J = 10, strips 5 rows high without overlap.
TEST(ShredRegion, JitterStaysWithinJMinusOneOfTheFront) {
  SetRandSeed(kSeed);
  for (const int front : {0, 35}) {
    SCOPED_TRACE(::testing::Message() << "front " << front);
    int lowest = front, highest = front;
    for (int frame = 0; frame < 300; ++frame) {
      const Region region = BuildShredRegion(front, 0, 70, 70, FromNear, None);
      for (int y = 0; y < 70; y += 5) {
        // The strip is (0, y, end, y + 5), put in order when end is negative.
        int end = 0;
        if (region.Contains(0, y))
          while (region.Contains(end, y))
            ++end;
        else
          while (region.Contains(end - 1, y))
            --end;
        lowest = std::min(lowest, end);
        highest = std::max(highest, end);
      }
    }
    EXPECT_EQ(lowest, front - 9);
    EXPECT_EQ(highest, front + 9);
  }
}

TEST(ShredEffects, EachMemberRevealsItsStrips) {
  struct Case {
    int style;
    bool horizontalFront, verticalFront;  // A = sw or 0, B = sh or 0
    TShredKind hKind, vKind;
  };
  const Case cases[] = {
      {65, true, false, FromFar, None},
      {66, true, false, FromNear, None},
      {67, true, false, OutFromMiddle, None},
      {68, true, false, InToMiddle, None},
      {76, false, true, None, FromFar},
      {77, false, true, None, FromNear},
      {78, false, true, None, OutFromMiddle},
      {79, false, true, None, InToMiddle},
      {100, true, true, FromFar, FromFar},
      {101, true, true, FromFar, FromNear},
      {102, true, true, FromNear, FromFar},
      {103, true, true, FromNear, FromNear},
      {104, true, true, FromFar, OutFromMiddle},
      {105, true, true, FromNear, OutFromMiddle},
      {106, true, true, OutFromMiddle, FromFar},
      {107, true, true, OutFromMiddle, FromNear},
      {108, true, true, OutFromMiddle, OutFromMiddle},
      {109, true, true, InToMiddle, InToMiddle},
  };
  const std::pair<int, int> sizes[] = {{64, 48}, {48, 64}, {33, 33}, {17, 3}, {1, 1}};
  for (const Case& c : cases)
    for (auto [w, h] : sizes)
      for (int progress : {1, 30, 50, 99}) {
        SCOPED_TRACE(::testing::Message()
                     << "style " << c.style << " " << w << "x" << h << " at " << progress);
        const TProgressExtents e = ProgressExtents({0, 0, w, h}, 4, progress);
        SetRandSeed(kSeed + uint32_t(progress));
        const Region expected =
            OverFrame(BuildShredRegion(c.horizontalFront ? e.sw : 0, c.verticalFront ? e.sh : 0, w,
                                       h, c.hKind, c.vKind),
                      w, h);
        SetRandSeed(kSeed + uint32_t(progress));
        ExpectSameRegion(RevealedRegion(c.style, w, h, progress), expected);
        if (HasFailure()) return;
      }
}

// The jitter is drawn afresh in every frame: a repaint at the same Progress tears differently,
// while the same seed gives the same frame again.
TEST(ShredEffects, FramesRepeatOnlyFromTheSameSeed) {
  const TBitmap picture = test::Numbered(64, 48);
  for (int style : {65, 76, 108}) {
    SCOPED_TRACE(::testing::Message() << "style " << style);
    SetRandSeed(kSeed);
    const TBitmap first = test::RunEffect(style, picture, 40);
    const TBitmap repaint = test::RunEffect(style, picture, 40);
    bool differs = false;
    for (int y = 0; y < 48 && !differs; ++y)
      for (int x = 0; x < 64 && !differs; ++x)
        differs = first.PixelAt(x, y) != repaint.PixelAt(x, y);
    EXPECT_TRUE(differs);
    SetRandSeed(kSeed);
    ExpectSameFrame(test::RunEffect(style, picture, 40), first);
  }
}

}  // namespace
}  // namespace kestrava
