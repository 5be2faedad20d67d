#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "raster/Region.h"
#include "tests/transitions/EffectTestSupport.h"
#include "transitions/RotationalEffects.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

using test::kOld;
using test::Numbered;
using test::RunEffect;

constexpr double kPi = std::numbers::pi;

void ExpectRevealed(const TBitmap& frame, const TBitmap& picture,
                    const std::function<bool(int x, int y)>& revealed) {
  for (int y = 0; y < frame.Height(); ++y)
    for (int x = 0; x < frame.Width(); ++x)
      ASSERT_EQ(frame.PixelAt(x, y), revealed(x, y) ? picture.PixelAt(x, y) : kOld)
          << "at " << x << "," << y;
}

void ExpectRevealedIn(const TBitmap& frame, const TBitmap& picture, const Region& region) {
  ExpectRevealed(frame, picture, [&](int x, int y) { return region.Contains(x, y); });
}

Region WindingPolygon(const std::vector<TPoint>& points) {
  return Region::FromPolygon(points, TPolyFillMode::Winding);
}

// The grid rectangles united one at a time, as the shred is defined.
Region ShredByDefinition(int W, int H, uint16_t step, int progress) {
  const TProgressExtents e = ProgressExtents({0, 0, W, H}, step, progress);
  const int u = std::max(e.u, 1);
  const int a = e.sw / u, b = e.sh / u;
  const int n = u > 1 ? u / 2 : u, cw = W / n, ch = H / n;
  Region all;
  for (int i = n; i >= 0; --i)
    for (int j = n; j >= 0; --j)
      all.Combine(all, Region::FromRect(j * cw - a, i * ch - b, j * cw + a, i * ch + b),
                  TCombineMode::Or);
  return all;
}

TEST(RotationalEffects, ShredIsTheUnionOfItsGridRectangles) {
  struct Case {
    int w, h;
    uint16_t step;
  };
  // Step 30 on 64 x 48 makes cells of 4 by 3 around 2 by 2 rectangles: spans that stay apart.
  const Case cases[] = {{64, 48, 4}, {64, 48, 30}, {47, 33, 9}, {33, 47, 12}, {200, 30, 60}};
  for (const Case& c : cases) {
    const TBitmap picture = Numbered(c.w, c.h);
    for (int progress : {3, 20, 50, 77, 99}) {
      SCOPED_TRACE(::testing::Message()
                   << c.w << "x" << c.h << " step " << c.step << " at " << progress);
      ExpectRevealedIn(RunEffect(142, picture, progress, c.step), picture,
                       ShredByDefinition(c.w, c.h, c.step, progress));
      if (HasFatalFailure()) return;
    }
  }
}

TEST(RotationalEffects, ShredWithOneCellShowsTheFourCorners) {
  // u = 1 (64 x 48 at Step 1) keeps n = 1, and u = 0 (10 x 5 at Step 4) counts as 1: four
  // rectangles 2sw by 2sh centred on the corners.
  struct Case {
    int w, h;
    uint16_t step;
    int progress, sw, sh;
  };
  const Case cases[] = {{64, 48, 1, 10, 6, 5}, {10, 5, 4, 30, 3, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h);
    const TBitmap picture = Numbered(c.w, c.h);
    ExpectRevealed(RunEffect(142, picture, c.progress, c.step), picture, [&](int x, int y) {
      return (x < c.sw || x >= c.w - c.sw) && (y < c.sh || y >= c.h - c.sh);
    });
  }
}

TEST(RotationalEffects, SweepsRevealTheirQuarterAndHalf) {
  struct Case {
    int style, progress;
    std::function<bool(int x, int y, int cx, int cy)> revealed;
  };
  const Case cases[] = {
      // 25 steps of 3.6 degrees from twelve o'clock: to three, or back to nine.
      {143, 26, [](int x, int y, int cx, int cy) { return x >= cx && y < cy; }},
      {144, 26, [](int x, int y, int cx, int cy) { return x < cx && y < cy; }},
      {143, 51, [](int x, int, int cx, int) { return x >= cx; }},
      {144, 51, [](int x, int, int cx, int) { return x < cx; }},
      // Two points, no area.
      {143, 1, [](int, int, int, int) { return false; }},
      {144, 1, [](int, int, int, int) { return false; }},
  };
  for (const auto& size : {std::pair{64, 48}, std::pair{63, 47}, std::pair{47, 80}}) {
    const int w = size.first, h = size.second;
    const TBitmap picture = Numbered(w, h);
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message()
                   << "style " << c.style << " " << w << "x" << h << " at " << c.progress);
      ExpectRevealed(RunEffect(c.style, picture, c.progress), picture,
                     [&](int x, int y) { return c.revealed(x, y, w / 2, h / 2); });
    }
  }
}

TEST(RotationalEffects, SectorPointsStepAlongTheArc) {
  // Four arc points a quarter of a circle apart by 22.5 degrees: (0,-10), (3.83,-9.24),
  // (7.07,-7.07), (9.24,-3.83) rounded, after the centre.
  EXPECT_EQ(SectorRegion(20, 30, 10, -kPi / 2, 0, 4),
            WindingPolygon({{20, 30}, {20, 20}, {24, 21}, {27, 23}, {29, 26}}));
  EXPECT_TRUE(SectorRegion(20, 30, 10, -kPi / 2, 0, 1).IsEmpty());
}

TEST(RotationalEffects, RotatePointsTurnsClockwiseOnScreen) {
  struct Case {
    double theta;
    std::vector<TPoint> expected;  // (10, 0), (3, -4), (-7, 2) about (100, 50)
  };
  const Case cases[] = {
      {kPi / 2, {{100, 60}, {104, 53}, {98, 43}}},
      {kPi, {{90, 50}, {97, 54}, {107, 48}}},
      // 36 degrees: cos 0.809, sin 0.588.
      {kPi / 5, {{108, 56}, {105, 49}, {93, 48}}},
  };
  for (const Case& c : cases) {
    std::vector<TPoint> points = {{110, 50}, {103, 46}, {93, 52}};
    RotatePoints(points, 100, 50, c.theta);
    EXPECT_EQ(points, c.expected) << "theta " << c.theta;
  }
}

// Where each shape's polygon lies, rotated by 3.6 degrees per percent, worked out by hand.
TEST(RotationalEffects, TurnedShapesMatchTheirWorkedPolygons) {
  struct Case {
    int style, w, h, progress;
    std::vector<TPoint> polygon;
  };
  const Case cases[] = {
      // 160 x 120 at 10 %: sw = 16, sh = 12, turned 36 degrees.
      {149, 160, 120, 10, {{77, 50}, {90, 60}, {83, 70}, {70, 60}}},
      {150,
       160,
       120,
       10,
       {{54, 41}, {77, 50}, {94, 41}, {90, 60}, {106, 79}, {83, 70}, {66, 79}, {70, 60}}},
      // 35 %: sw = 56, sh = 42, turned 126 degrees; the star's tips reach out of the frame.
      {149, 160, 120, 35, {{113, 50}, {81, 95}, {47, 70}, {79, 25}}},
      {150,
       160,
       120,
       35,
       {{146, -31}, {113, 50}, {148, 109}, {81, 95}, {14, 151}, {47, 70}, {12, 11}, {79, 25}}},
      {149, 120, 160, 35, {{95, 79}, {70, 113}, {25, 81}, {50, 47}}},
      // 50 %: half a turn brings both shapes back onto themselves (sw = 32, sh = 24).
      {149, 64, 48, 50, {{16, 12}, {48, 12}, {48, 36}, {16, 36}}},
      {150,
       64,
       48,
       50,
       {{-32, 24}, {16, 12}, {32, -24}, {48, 12}, {96, 24}, {48, 36}, {32, 72}, {16, 36}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "style " << c.style << " " << c.w << "x" << c.h << " at " << c.progress);
    const TBitmap picture = Numbered(c.w, c.h);
    ExpectRevealedIn(RunEffect(c.style, picture, c.progress), picture, WindingPolygon(c.polygon));
  }
}

TEST(RotationalEffects, RectangleStandsUprightAfterAQuarterTurn) {
  // 64 x 48 at 25 %: the 16 by 12 rectangle turned to 12 wide and 16 high about (32, 24).
  const TBitmap picture = Numbered(64, 48);
  ExpectRevealed(RunEffect(149, picture, 25), picture,
                 [](int x, int y) { return x >= 26 && x < 38 && y >= 16 && y < 32; });
}

// A recorded case of the reference region answers: its polygon and its canonical bands.
struct TRecordedPolygon {
  std::vector<TPoint> points;
  std::string canon;
};

TRecordedPolygon ReadRecordedPolygon(const std::string& title) {
  std::ifstream in(std::filesystem::path(KESTRAVA_SHARED_DIR) / "reference" / "gdi-regions.txt");
  TRecordedPolygon recorded;
  bool inCase = false, inCanon = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("# ")) {
      if (inCase) break;
      inCase = line.starts_with("# " + title);
    } else if (inCase && line.starts_with("> polygon ")) {
      std::istringstream numbers(line.substr(10));
      int n = 0;
      numbers >> n;
      recorded.points.resize(size_t(std::max(n, 0)));
      for (TPoint& p : recorded.points)
        numbers >> p.X >> p.Y;
    } else if (inCase && line == "canon") {
      inCanon = true;
    } else if (inCanon) {
      recorded.canon += line + '\n';
      if (line.starts_with("end bands=")) break;
    }
  }
  return recorded;
}

TEST(RotationalEffects, RecordedShapesAreTurnedAndFilledAsThePlatformDoes) {
  // Both recorded shapes are symmetric about (32, 24), so turning them by half a turn (the angle
  // at 50 %) must give back the region the platform recorded for them.
  for (const char* title :
       {"rotated rectangle (style 149 shape)", "four-pointed star (style 150 shape)"}) {
    SCOPED_TRACE(title);
    TRecordedPolygon recorded = ReadRecordedPolygon(title);
    ASSERT_FALSE(recorded.points.empty());
    ASSERT_FALSE(recorded.canon.empty());
    std::vector<TPoint> turned = recorded.points;
    RotatePoints(turned, 32, 24, 50 * kPi / 50);
    EXPECT_TRUE(std::is_permutation(turned.begin(), turned.end(), recorded.points.begin()));
    EXPECT_EQ(WindingPolygon(turned).Canonical(), recorded.canon);
  }
}

}  // namespace
}  // namespace kestrava
