#include <gtest/gtest.h>

#include <vector>

#include "raster/Random.h"
#include "raster/Region.h"
#include "tests/transitions/ReferenceRandom.h"
#include "tests/transitions/RegionEffectTestSupport.h"
#include "transitions/SpeckleEffects.h"

namespace kestrava {
namespace {

using test::ExpectSameFrame;
using test::ExpectSameRegion;
using test::OverFrame;
using test::RevealedRegion;
using test::TReferenceRandom;
using enum TSpeckleKind;

constexpr uint32_t kSeed = 20240613;

// The zone of one direction as the cases give it: speck size s, k specks, the nearer q of them
// shown when their draw is 0 or 1, the rest when it is 0.
struct TZone {
  int s, k, q;
};

// The expected rows (or columns, `down`) of a speckled pass, drawn from the reference generator:
// for each row the solid part, then speck i = k down to 1 at i rows of s ahead of the front.
std::vector<TRect> SpeckledRows(TReferenceRandom& r, TSpeckleKind kind, bool down, int front,
                                int length, int across, TZone z) {
  std::vector<TRect> v;
  const auto add = [&](int from, int to, int top) {
    v.push_back(down ? TRect{top, from, top + z.s, to} : TRect{from, top, to, top + z.s});
  };
  for (int top = 0; top < across; top += z.s / 2) {
    const int edge = kind == FromFar ? length - front : front;
    if (kind == FromFar)
      add(edge, length, top);
    else
      add(0, edge, top);
    for (int i = z.k; i >= 1; --i) {
      const int drawn = r(uint32_t(i));
      if (i <= z.q ? drawn > 1 : drawn != 0) continue;
      if (kind == FromFar)
        add(edge - i * z.s, edge - i * z.s + z.s, top);
      else
        add(edge + i * z.s - z.s, edge + i * z.s, top);
    }
  }
  return v;
}

// Zone sizes by picture side: 200 gives D = 20, s = 2, k = 10, q = 7; 199 gives D = 19, s = 2,
// k = 9, q = 7; 1000 gives D = 100, s = 5, k = 20, q = 15; under 10, or with the front at the
// edge, there is no zone and rows 2 high step by 1.
TEST(SpeckleRegion, BuildsTheRowsAndSpecksOfEachZone) {
  struct Case {
    const char* name;
    int a, b, w, h;
    TSpeckleKind hKind, vKind;
    TZone zone;
  };
  const Case cases[] = {
      {"200 wide from the right", 50, 0, 200, 40, FromFar, None, {2, 10, 7}},
      {"200 wide from the left", 50, 0, 200, 40, FromNear, None, {2, 10, 7}},
      {"199 wide from the right", 50, 0, 199, 60, FromFar, None, {2, 9, 7}},
      {"1000 wide from the left", 300, 0, 1000, 160, FromNear, None, {5, 20, 15}},
      {"9 wide: solid rows only", 4, 0, 9, 5, FromFar, None, {2, 0, 0}},
      {"front at the edge: no zone", 200, 0, 200, 5, FromFar, None, {2, 0, 0}},
      {"200 high from the bottom", 0, 50, 40, 200, None, FromFar, {2, 10, 7}},
      {"200 high from the top", 0, 50, 40, 200, None, FromNear, {2, 10, 7}},
      {"1000 high from the bottom", 0, 300, 160, 1000, None, FromFar, {5, 20, 15}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TReferenceRandom expectedDraws(kSeed);
    const bool down = c.vKind != None;
    const Region expected = Region::FromRects(
        down ? SpeckledRows(expectedDraws, c.vKind, true, c.b, c.h, c.w, c.zone)
             : SpeckledRows(expectedDraws, c.hKind, false, c.a, c.w, c.h, c.zone));
    SetRandSeed(kSeed);
    ExpectSameRegion(BuildSpeckleRegion(c.a, c.b, c.w, c.h, c.hKind, c.vKind), expected);
    EXPECT_EQ(RandSeed(), expectedDraws.Seed()) << "a different number of draws";
  }
  SetRandSeed(kSeed);
  EXPECT_TRUE(BuildSpeckleRegion(50, 50, 200, 200, None, None).IsEmpty());
  EXPECT_EQ(RandSeed(), kSeed);
}

// On a 200 pixel wide picture the two specks next to the front always show (Random(1) and
// Random(2) never exceed 1), and nothing lies past the zone's 20 pixels; the far end of the
// zone shows now and then.
TEST(SpeckleEffects, ZoneOfA200PixelPictureIsTwentyDeep) {
  // Style 124 at Progress 25: the front is at 50, the zone spans 50..69.
  const Region sure = Region::FromRect(0, 0, 54, 20);
  const Region zone = Region::FromRect(0, 0, 70, 20);
  Region everShown;
  SetRandSeed(kSeed);
  for (int frame = 0; frame < 20; ++frame) {
    const Region shown = RevealedRegion(124, 200, 20, 25);
    EXPECT_TRUE(Region::Combined(sure, shown, TCombineMode::Diff).IsEmpty());
    EXPECT_TRUE(Region::Combined(shown, zone, TCombineMode::Diff).IsEmpty());
    everShown = Region::Combined(everShown, shown, TCombineMode::Or);
  }
  EXPECT_EQ(everShown.BoundingBox().Right, 70);
}

TEST(SpeckleEffects, EachMemberRevealsItsSpeckles) {
  struct Case {
    int style;
    TSpeckleKind hKind, vKind;
  };
  const Case cases[] = {
      {123, FromFar, None}, {124, FromNear, None}, {125, None, FromFar}, {126, None, FromNear}};
  const std::pair<int, int> sizes[] = {{240, 100}, {100, 240}, {33, 33}, {17, 3}, {1, 1}};
  for (const Case& c : cases)
    for (auto [w, h] : sizes)
      for (int progress : {1, 50, 99}) {
        SCOPED_TRACE(::testing::Message()
                     << "style " << c.style << " " << w << "x" << h << " at " << progress);
        const TProgressExtents e = ProgressExtents({0, 0, w, h}, 4, progress);
        SetRandSeed(kSeed + uint32_t(progress));
        const Region expected =
            OverFrame(BuildSpeckleRegion(e.sw, e.sh, w, h, c.hKind, c.vKind), w, h);
        SetRandSeed(kSeed + uint32_t(progress));
        ExpectSameRegion(RevealedRegion(c.style, w, h, progress), expected);
        if (HasFailure()) return;
      }
}

bool SameFrame(const TBitmap& a, const TBitmap& b) {
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.PixelAt(x, y) != b.PixelAt(x, y)) return false;
  return true;
}

// Speckles are drawn afresh in every frame; the same seed gives the same frame again.
TEST(SpeckleEffects, FramesRepeatOnlyFromTheSameSeed) {
  const TBitmap picture = test::Numbered(240, 100);
  for (int style : {123, 126}) {
    SCOPED_TRACE(::testing::Message() << "style " << style);
    SetRandSeed(kSeed);
    const TBitmap first = test::RunEffect(style, picture, 40);
    EXPECT_FALSE(SameFrame(test::RunEffect(style, picture, 40), first));
    SetRandSeed(kSeed);
    ExpectSameFrame(test::RunEffect(style, picture, 40), first);
  }
}

// Style 127: the generator is seeded with W × H, then one draw per grid point, down each column
// of the grid in turn; the points whose draw is below Progress show a square 2n wide centred on
// them. n is u halved when u exceeds 1, and 1 when u is 0.
TEST(RandomSquares, ShowsTheSquaresWhoseDrawIsBelowProgress) {
  struct Case {
    int w, h;
    uint16_t step;
    int progress;
    int n;
  };
  const Case cases[] = {
      {40, 30, 20, 50, 4},   // u = 9
      {30, 20, 12, 30, 2},   // u = 4
      {31, 17, 6, 60, 1},    // u = 2
      {45, 9, 6, 60, 1},     // u = 3
      {5, 5, 4, 70, 1},      // u = 0
      {160, 120, 4, 1, 3},   // u = 7: only the draws of 0
      {160, 120, 4, 50, 3},  //
      {160, 120, 4, 99, 3},  //
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.w << "x" << c.h << " step " << c.step << " at " << c.progress);
    TReferenceRandom draws(uint32_t(c.w * c.h));
    std::vector<TRect> squares;
    for (int x = 0; x < c.w; x += c.n)
      for (int y = 0; y < c.h; y += c.n)
        if (draws(100) < c.progress) squares.push_back({x - c.n, y - c.n, x + c.n, y + c.n});
    SetRandSeed(kSeed);
    ExpectSameRegion(RevealedRegion(127, c.w, c.h, c.progress, c.step),
                     OverFrame(Region::FromRects(squares), c.w, c.h));
    EXPECT_EQ(RandSeed(), draws.Seed()) << "later draws continue from where the frame left off";
  }
}

// Whatever the generator held before, a frame is the same, and a square once shown stays.
TEST(RandomSquares, PatternStaysFromFrameToFrame) {
  const TBitmap picture = test::Numbered(192, 108);
  SetRandSeed(kSeed);
  const TBitmap first = test::RunEffect(127, picture, 40);
  Random(1000);
  ExpectSameFrame(test::RunEffect(127, picture, 40), first);
  Region before;
  for (int progress : {10, 40, 41, 70, 99}) {
    SCOPED_TRACE(::testing::Message() << "at " << progress);
    const Region now = RevealedRegion(127, 192, 108, progress);
    EXPECT_TRUE(Region::Combined(before, now, TCombineMode::Diff).IsEmpty());
    EXPECT_FALSE(now == before);
    before = now;
  }
}

}  // namespace
}  // namespace kestrava
