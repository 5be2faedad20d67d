#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "raster/Region.h"
#include "tests/transitions/RegionEffectTestSupport.h"
#include "transitions/DiagonalEffects.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

using test::ExpectSameRegion;
using test::OverFrame;
using test::RevealedRegion;

using TTriangle = std::array<int, 6>;

// The triangles united one at a time, as the shapes are described.
Region Union(const std::vector<TTriangle>& triangles) {
  Region all;
  for (const TTriangle& t : triangles)
    all =
        Region::Combined(all, TriangleRegion(t[0], t[1], t[2], t[3], t[4], t[5]), TCombineMode::Or);
  return all;
}

// The case of the recorded answers at grid point (10, 10) with dx = 3, dy = 2 comes from a 43 by
// 40 picture at Step 17 (u = 8, n = 4, cells 10 by 10) and Progress 28 (sw = 12, sh = 11).
TEST(DiagonalEffects, AgreeWithTheRecordedPlatformRegions) {
  struct Case {
    const char* title;
    int style, w, h, progress;
    uint16_t step;
    int gridStep;  // for style 117: the recorded triangle repeats every gridStep pixels
  };
  const Case cases[] = {
      {"reveal diagonal from top left", 110, 64, 48, 31, 4, 0},  // sw = 20, sh = 15
      {"reveal diagonal from bottom right", 113, 64, 48, 31, 4, 0},
      {"diagonal sweep 114", 114, 64, 48, 31, 4, 0},
      {"starburst 116", 116, 64, 48, 31, 4, 0},
      {"one small triangle of style 117", 117, 43, 40, 28, 17, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    std::optional<Region> recorded = test::RecordedRegion(c.title);
    if (!recorded) GTEST_SKIP() << "no recorded region answers";
    if (c.gridStep) {
      Region grid;
      for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 4; ++j) {
          Region moved = *recorded;
          moved.Translate((j - 1) * c.gridStep, (i - 1) * c.gridStep);
          grid = Region::Combined(grid, moved, TCombineMode::Or);
        }
      recorded = grid;
    }
    ExpectSameRegion(RevealedRegion(c.style, c.w, c.h, c.progress, c.step),
                     OverFrame(*recorded, c.w, c.h));
  }
}

using TTriangles = std::function<std::vector<TTriangle>(int W, int H, int sw, int sh)>;

TEST(DiagonalEffects, EachStyleRevealsItsTriangles) {
  struct Case {
    int style;
    TTriangles triangles;
  };
  const Case cases[] = {
      {110,
       [](int, int, int sw, int sh) {
         return std::vector<TTriangle>{{0, 0, 2 * sw, 0, 0, 2 * sh}};
       }},
      {111,
       [](int W, int, int sw, int sh) {
         return std::vector<TTriangle>{{W, 0, W - 2 * sw, 0, W, 2 * sh}};
       }},
      {112,
       [](int, int H, int sw, int sh) {
         return std::vector<TTriangle>{{0, H, 2 * sw, H, 0, H - 2 * sh}};
       }},
      {113,
       [](int W, int H, int sw, int sh) {
         return std::vector<TTriangle>{{W, H, W - 2 * sw, H, W, H - 2 * sh}};
       }},
      {114,
       [](int W, int H, int sw, int) {
         return std::vector<TTriangle>{{0, H, 0, 0, sw, H}, {W, H, W, 0, W - sw, 0}};
       }},
      {115,
       [](int W, int H, int, int sh) {
         return std::vector<TTriangle>{{W, 0, 0, 0, W, sh}, {W, H, 0, H, 0, H - sh}};
       }},
      // The centre rounds down on odd sizes.
      {116,
       [](int W, int H, int sw, int sh) {
         const int cx = W / 2, cy = H / 2;
         return std::vector<TTriangle>{{cx, cy, 0, H, 0, H - sh},
                                       {0, 0, sw, 0, cx, cy},
                                       {W - sw, H, cx, cy, W, H},
                                       {cx, cy, W, 0, W, sh}};
       }},
  };
  const std::pair<int, int> sizes[] = {{64, 48}, {48, 64}, {37, 23}, {5, 3}, {1, 1}};
  for (const Case& c : cases)
    for (auto [w, h] : sizes)
      for (int progress : {1, 10, 31, 50, 77, 99}) {
        SCOPED_TRACE(::testing::Message()
                     << "style " << c.style << " " << w << "x" << h << " at " << progress);
        const TProgressExtents e = ProgressExtents({0, 0, w, h}, 4, progress);
        ExpectSameRegion(RevealedRegion(c.style, w, h, progress),
                         OverFrame(Union(c.triangles(w, h, e.sw, e.sh)), w, h));
        if (HasFailure()) return;
      }
}

TEST(DiagonalEffects, SweepsStartAsSliversAlongTheirEdges) {
  // 64 by 48 at Progress 3: sw = sh = 2. The anticlockwise sweep leaves the left and right
  // edges, the clockwise one the top and bottom edges. (At Progress 1 the bottom sliver of the
  // clockwise sweep is thinner than a row and covers no pixel's corner yet.)
  const Region anticlockwise = RevealedRegion(114, 64, 48, 3);
  const Region clockwise = RevealedRegion(115, 64, 48, 3);
  EXPECT_TRUE(anticlockwise.Contains(0, 47) && anticlockwise.Contains(63, 0));
  EXPECT_TRUE(clockwise.Contains(63, 0) && clockwise.Contains(0, 47));
  for (const TRect& r : anticlockwise.Rects())
    EXPECT_TRUE(r.Right <= 2 || r.Left >= 62) << r.Left << "," << r.Top;
  for (const TRect& r : clockwise.Rects())
    EXPECT_TRUE(r.Bottom <= 2 || r.Top >= 46) << r.Left << "," << r.Top;
}

// The grid of the triangular shred, united one triangle at a time in the described order.
Region GridOneByOne(int W, int H, int sw, int sh, int u) {
  const int n = u > 1 ? u / 2 : 1;
  const int cw = W / n, ch = H / n, dx = sw / n, dy = sh / n;
  std::vector<TTriangle> triangles;
  for (int i = n; i >= 0; --i)
    for (int j = n; j >= 0; --j)
      triangles.push_back(
          {j * cw - dx, i * ch - dy, j * cw + dx, i * ch - dy, j * cw - dx, i * ch + dy});
  return Union(triangles);
}

TEST(DiagonalEffects, TriangleGridIsTheUnionOfItsTriangles) {
  struct Case {
    int W, H, sw, sh, u;
  };
  const Case cases[] = {
      {64, 48, 20, 15, 0},
      {64, 48, 20, 15, 3},
      {64, 48, 20, 15, 4},
      {64, 48, 40, 30, 5},
      {64, 48, 63, 47, 9},
      {800, 600, 400, 300, 36},
      {800, 600, 13, 9, 36},
      {90, 30, 89, 30, 12},  // triangles wider than their cells merge along
                             // each row
      {3, 2, 3, 2, 9},       // cells of 0 pixels: every triangle on the same point
      {5, 40, 5, 40, 20},    // columns of 0 pixels, rows of 4
      {64, 48, 5, 1, 8},     // dy = 0: nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.W << "x" << c.H << " sw " << c.sw << " sh " << c.sh << " u " << c.u);
    const Region grid = TriangleGridRegion(c.W, c.H, c.sw, c.sh, c.u);
    EXPECT_TRUE(grid.SelfCheck());
    ExpectSameRegion(grid, GridOneByOne(c.W, c.H, c.sw, c.sh, c.u));
  }
}

// Step units of 1, 2 and 3 (and 0, treated as 1) leave a grid of one cell: four triangles on
// the corners of the picture, each as large as the whole reveal.
TEST(DiagonalEffects, TriangularShredWithASmallStepUnitHasFourCornerTriangles) {
  struct Case {
    int w, h;
    uint16_t step;
    int u;
  };
  const Case cases[] = {{40, 30, 1, 0}, {64, 48, 1, 1}, {64, 48, 3, 2}, {64, 48, 4, 3}};
  for (const Case& c : cases)
    for (int progress : {10, 40, 90}) {
      SCOPED_TRACE(::testing::Message() << "u " << c.u << " at " << progress);
      const TProgressExtents e = ProgressExtents({0, 0, c.w, c.h}, c.step, progress);
      ASSERT_EQ(e.u, c.u);
      const int W = c.w, H = c.h, dx = e.sw, dy = e.sh;
      const Region corners = Union({{-dx, -dy, dx, -dy, -dx, dy},
                                    {W - dx, -dy, W + dx, -dy, W - dx, dy},
                                    {-dx, H - dy, dx, H - dy, -dx, H + dy},
                                    {W - dx, H - dy, W + dx, H - dy, W - dx, H + dy}});
      ExpectSameRegion(RevealedRegion(117, c.w, c.h, progress, c.step), OverFrame(corners, W, H));
    }
  // u = 4 gives n = 2: a triangle at the centre as well.
  EXPECT_TRUE(RevealedRegion(117, 64, 48, 40, 6).Contains(31, 23));
}

}  // namespace
}  // namespace kestrava
