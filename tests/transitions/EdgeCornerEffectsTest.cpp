#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "raster/Canvas.h"
#include "raster/Region.h"
#include "tests/transitions/EffectTestSupport.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

using test::ExpectSameFrame;
using test::kOld;
using test::Numbered;
using test::RunEffect;
using test::Solid;

struct TCopy {
  TRect S, D;
};

// The worked examples: a 640 by 480 picture at Progress 25 (sw = 160, sh = 120), each style's
// copies written out with their numbers.
TEST(EdgeAndCornerEffects, WorkedExamplesMakeTheirCopies) {
  struct Case {
    int style;
    std::vector<TCopy> copies;
  };
  const Case cases[] = {
      {3, {{{0, 0, 640, 480}, {480, 0, 1120, 480}}}},
      {9, {{{240, 0, 400, 480}, {-480, 0, 1120, 480}}}},
      {12, {{{0, 0, 81, 480}, {0, 0, 81, 480}}, {{559, 0, 640, 480}, {559, 0, 640, 480}}}},
      {13, {{{0, 0, 321, 480}, {0, 0, 81, 480}}, {{320, 0, 640, 480}, {559, 0, 640, 480}}}},
      {28, {{{0, 180, 640, 300}, {0, 180, 640, 300}}}},
      {35, {{{0, 0, 640, 480}, {480, 360, 640, 480}}}},
      {47, {{{0, 0, 160, 120}, {0, 0, 1120, 840}}}},
      {51, {{{240, 180, 400, 300}, {-480, -360, 1120, 840}}}},
      {54,
       {{{0, 0, 640, 60}, {0, 0, 640, 60}},
        {{0, 420, 640, 480}, {0, 420, 640, 480}},
        {{0, 0, 80, 480}, {0, 0, 80, 480}},
        {{560, 0, 640, 480}, {560, 0, 640, 480}}}},
      {55,
       {{{0, 0, 81, 61}, {0, 0, 81, 61}},
        {{0, 419, 81, 480}, {0, 419, 81, 480}},
        {{559, 419, 640, 480}, {559, 419, 640, 480}},
        {{559, 0, 640, 61}, {559, 0, 640, 61}}}},
      {57,
       {{{0, 0, 321, 241}, {-240, 0, 81, 241}},
        {{319, 0, 640, 241}, {319, -180, 640, 61}},
        {{321, 239, 640, 480}, {560, 239, 880, 480}},
        {{0, 241, 321, 480}, {0, 420, 321, 660}}}},
  };
  const TBitmap picture = Numbered(640, 480);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "style " << c.style);
    TBitmap expected = Solid(640, 480, kOld);
    for (const TCopy& copy : c.copies)
      expected.Canvas().CopyRect(copy.D, picture.Canvas(), copy.S);
    ExpectSameFrame(RunEffect(c.style, picture, 25), expected);
  }
}

// Where each style puts the new picture, as rectangles of the frame (clipped by drawing).
using TCoverage = std::function<std::vector<TRect>(int W, int H, int sw, int sh)>;

struct TCoverageCase {
  int style;
  TCoverage cover;
  bool inPlace;  // the picture is uncovered where it stands
};

std::vector<TCoverageCase> EdgeAndCornerCoverage() {
  // One-axis effects are written across; the twin 17 styles later is the same turned.
  struct Across {
    int style;
    std::function<std::pair<int, int>(int L, int s)> span;  // destination along the axis
    bool inPlace;
    bool twoStrips;
  };
  const Across across[] = {
      {1,
       [](int L, int s) {
         return std::pair{L - s, L};
       },
       false, false},
      {2,
       [](int, int s) {
         return std::pair{0, s};
       },
       false, false},
      {3,
       [](int L, int s) {
         return std::pair{L - s, L};
       },
       false, false},
      {4,
       [](int, int s) {
         return std::pair{0, s};
       },
       false, false},
      {5,
       [](int, int s) {
         return std::pair{0, s};
       },
       true, false},
      {6,
       [](int L, int s) {
         return std::pair{L - s, L};
       },
       true, false},
      // Magnifying nothing draws nothing.
      {7,
       [](int L, int s) {
         return std::pair{0, s ? L : 0};
       },
       false, false},
      {8,
       [](int L, int s) {
         return std::pair{0, s ? L : 0};
       },
       false, false},
      {9,
       [](int L, int s) {
         return std::pair{0, s ? L : 0};
       },
       false, false},
      {10,
       [](int L, int s) {
         return std::pair{(L - s) / 2, (L + s) / 2};
       },
       false, false},
      {11,
       [](int L, int s) {
         return std::pair{(L - s) / 2, (L + s) / 2};
       },
       true, false},
      {12,
       [](int, int s) {
         return std::pair{0, s / 2 + 1};
       },
       true, true},
      {13,
       [](int, int s) {
         return std::pair{0, s / 2 + 1};
       },
       false, true},
  };
  std::vector<TCoverageCase> cases;
  for (const Across& a : across)
    for (bool down : {false, true}) {
      cases.push_back({a.style + (down ? 17 : 0),
                       [a, down](int W, int H, int sw, int sh) {
                         const int L = down ? H : W, s = down ? sh : sw;
                         std::vector<std::pair<int, int>> spans{a.span(L, s)};
                         if (a.twoStrips) spans.push_back({L - s / 2 - 1, L});
                         std::vector<TRect> rects;
                         for (auto [p, q] : spans)
                           rects.push_back(down ? TRect{0, p, W, q} : TRect{p, 0, q, H});
                         return rects;
                       },
                       a.inPlace});
    }
  const auto one = [](int style, std::function<TRect(int, int, int, int)> r, bool inPlace) {
    return TCoverageCase{
        style, [r](int W, int H, int sw, int sh) { return std::vector<TRect>{r(W, H, sw, sh)}; },
        inPlace};
  };
  cases.push_back(one(
      35,
      [](int W, int H, int sw, int sh) {
        return TRect{W - sw, H - sh, W, H};
      },
      false));
  cases.push_back(one(
      36,
      [](int W, int, int sw, int sh) {
        return TRect{W - sw, 0, W, sh};
      },
      false));
  cases.push_back(one(
      37,
      [](int, int, int sw, int sh) {
        return TRect{0, 0, sw, sh};
      },
      false));
  cases.push_back(one(
      38,
      [](int, int H, int sw, int sh) {
        return TRect{0, H - sh, sw, H};
      },
      false));
  cases.push_back(one(
      39,
      [](int W, int H, int sw, int sh) {
        return TRect{W - sw, H - sh, W, H};
      },
      false));
  cases.push_back(one(
      40,
      [](int W, int, int sw, int sh) {
        return TRect{W - sw, 0, W, sh};
      },
      false));
  cases.push_back(one(
      41,
      [](int, int, int sw, int sh) {
        return TRect{0, 0, sw, sh};
      },
      false));
  cases.push_back(one(
      42,
      [](int, int H, int sw, int sh) {
        return TRect{0, H - sh, sw, H};
      },
      false));
  cases.push_back(one(
      43,
      [](int, int, int sw, int sh) {
        return TRect{0, 0, sw, sh};
      },
      true));
  cases.push_back(one(
      44,
      [](int, int H, int sw, int sh) {
        return TRect{0, H - sh, sw, H};
      },
      true));
  cases.push_back(one(
      45,
      [](int W, int H, int sw, int sh) {
        return TRect{W - sw, H - sh, W, H};
      },
      true));
  cases.push_back(one(
      46,
      [](int W, int, int sw, int sh) {
        return TRect{W - sw, 0, W, sh};
      },
      true));
  for (int style = 47; style <= 51; ++style)
    cases.push_back(one(
        style,
        [](int W, int H, int sw, int sh) {
          return sw && sh ? TRect{0, 0, W, H} : TRect{};
        },
        false));
  const auto centre = [](int W, int H, int sw, int sh) {
    return TRect{(W - sw) / 2, (H - sh) / 2, (W + sw) / 2, (H + sh) / 2};
  };
  cases.push_back(one(52, centre, false));
  cases.push_back(one(53, centre, true));
  cases.push_back(
      {54,
       [](int W, int H, int sw, int sh) {
         return std::vector<TRect>{
             {0, 0, W, sh / 2}, {0, H - sh / 2, W, H}, {0, 0, sw / 2, H}, {W - sw / 2, 0, W, H}};
       },
       true});
  const auto corners = [](int W, int H, int sw, int sh) {
    const int x = sw / 2 + 1, y = sh / 2 + 1;
    return std::vector<TRect>{
        {0, 0, x, y}, {0, H - y, x, H}, {W - x, H - y, W, H}, {W - x, 0, W, y}};
  };
  cases.push_back({55, corners, true});
  cases.push_back({56,
                   [](int W, int H, int sw, int sh) {
                     return std::vector<TRect>{{0, 0, sw / 2 + 1, sh / 2 + 1},
                                               {0, H - sh / 2, sw / 2 + 1, H},
                                               {W - sw / 2, H - sh / 2, W, H},
                                               {W - sw / 2, 0, W, sh / 2 + 1}};
                   },
                   false});
  cases.push_back({57,
                   [](int W, int H, int sw, int sh) {
                     return std::vector<TRect>{{0, 0, sw / 2 + 1, H / 2 + 1},
                                               {W / 2 - 1, 0, W, sh / 2 + 1},
                                               {W - sw / 2, H / 2 - 1, W, H},
                                               {0, H - sh / 2, W / 2 + 1, H}};
                   },
                   false});
  return cases;
}

// With a solid new picture the frame shows exactly the covered area in the new colour, whatever
// the resampling; everything else keeps the old image. Reveals show the picture where it stands.
TEST(EdgeAndCornerEffects, CoverExactlyTheirAreaAndKeepTheOldImageElsewhere) {
  constexpr TPixel kNew = 0x00123456u;
  const std::pair<int, int> sizes[] = {{64, 48}, {48, 64}, {37, 37}, {5, 3}, {1, 1}};
  for (const TCoverageCase& c : EdgeAndCornerCoverage()) {
    ASSERT_TRUE(IsStyleImplemented(TTransitionStyle(c.style))) << c.style;
    for (auto [w, h] : sizes) {
      const TBitmap solid = Solid(w, h, kNew), numbered = Numbered(w, h);
      for (int progress : {1, 2, 10, 25, 50, 77, 99}) {
        SCOPED_TRACE(::testing::Message()
                     << "style " << c.style << " " << w << "x" << h << " at " << progress);
        const TProgressExtents e = ProgressExtents({0, 0, w, h}, 4, progress);
        const Region covered = Region::FromRects(c.cover(w, h, e.sw, e.sh));
        const TBitmap frame = RunEffect(c.style, solid, progress);
        const TBitmap shown = c.inPlace ? RunEffect(c.style, numbered, progress) : TBitmap();
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            const bool in = covered.Contains(x, y);
            ASSERT_EQ(frame.PixelAt(x, y), in ? kNew : kOld) << "at " << x << "," << y;
            if (c.inPlace && in) {
              ASSERT_EQ(shown.PixelAt(x, y), numbered.PixelAt(x, y));
            }
          }
      }
    }
  }
}

TEST(EdgeAndCornerEffects, SqueezeTheWholePictureIntoTheirRectangle) {
  // At Progress 99 on a 640-wide picture sw = 634: style 10 squeezes it into columns 3..637, so
  // the picture's first and last columns show at the strip's edges.
  const TBitmap picture = Numbered(640, 480);
  const TBitmap frame = RunEffect(10, picture, 99);
  EXPECT_EQ(frame.PixelAt(2, 100), kOld);
  EXPECT_EQ(frame.PixelAt(3, 0) & 0xFFF, 0u);
  EXPECT_EQ(frame.PixelAt(636, 0) & 0xFFF, 639u);
  EXPECT_EQ(frame.PixelAt(637, 100), kOld);
}

}  // namespace
}  // namespace kestrava
