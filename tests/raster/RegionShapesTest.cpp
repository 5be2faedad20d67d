#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "raster/Region.h"
#include "tests/raster/RegionMask.h"

namespace kestrava {
namespace {

using test::kWindow;
using test::Mismatch;
using test::PointInPolygon;
using test::TMask;

TEST(RegionRoundRect, EllipseIsReducedToTheRectangle) {
  struct Case {
    const char* name;
    Region given;
    Region same;
  };
  const Case cases[] = {
      {"ellipse wider than the rectangle", Region::FromRoundRect(0, 0, 30, 20, 100, 8),
       Region::FromRoundRect(0, 0, 30, 20, 29, 8)},
      {"ellipse higher than the rectangle", Region::FromRoundRect(0, 0, 30, 20, 8, 100),
       Region::FromRoundRect(0, 0, 30, 20, 8, 19)},
      {"negative sizes count by magnitude", Region::FromRoundRect(0, 0, 30, 20, -9, -7),
       Region::FromRoundRect(0, 0, 30, 20, 9, 7)},
      {"corners swapped", Region::FromRoundRect(30, 20, 0, 0, 9, 7),
       Region::FromRoundRect(0, 0, 30, 20, 9, 7)},
      {"moved", Region::FromRoundRect(-17, 23, 13, 43, 9, 7),
       [] {
         Region r = Region::FromRoundRect(0, 0, 30, 20, 9, 7);
         r.Translate(-17, 23);
         return r;
       }()},
      // Short of the right and bottom coordinates by one pixel.
      {"ellipse width below 2", Region::FromRoundRect(0, 0, 6, 4, 1, 50),
       Region::FromRect(0, 0, 5, 3)},
      {"ellipse height below 2", Region::FromRoundRect(0, 0, 6, 4, 50, -1),
       Region::FromRect(0, 0, 5, 3)},
      {"ellipse of two pixels", Region::FromRoundRect(0, 0, 6, 4, 2, 2),
       Region::FromRect(0, 0, 5, 3)},
      {"one pixel wide", Region::FromRoundRect(4, 0, 5, 9, 3, 3), Region()},
      {"one pixel high", Region::FromRoundRect(0, 4, 9, 5, 3, 3), Region()},
      {"whole coordinate range", Region::FromRoundRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1, 1),
       Region::FromRect(INT_MIN, INT_MIN, INT_MAX - 1, INT_MAX - 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(c.given.SelfCheck());
    EXPECT_TRUE(c.given == c.same) << c.given.Canonical() << "instead of\n" << c.same.Canonical();
  }
}

// Whether the pixel (x, y) of a w x h block has its centre inside the ellipse inscribed in the
// block with semi-axes grown by grow / 2 pixels (doubled coordinates, exact).
bool InBlockEllipse(int x, int y, int w, int h, int grow) {
  const int64_t a = w - 1 + grow, b = h - 1 + grow, u = 2 * x - (w - 1), v = 2 * y - (h - 1);
  return b * b * u * u + a * a * v * v <= a * a * b * b;
}

// Each corner is the quarter of an ellipse: every pixel whose centre lies inside the ellipse
// through the corner block's outermost pixel centres is in, and every pixel more than a pixel and
// a half outside it is out; the shape is mirror-symmetric and full outside the corners.
TEST(RegionRoundRect, CornersFollowTheEllipse) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const int l = test::Coord(rng, -20, 20), t = test::Coord(rng, -20, 20);
    const int r = l + test::Coord(rng, 2, 90), b = t + test::Coord(rng, 2, 90);
    const int ew = test::Coord(rng, -100, 100), eh = test::Coord(rng, -100, 100);
    const Region region = Region::FromRoundRect(l, t, r, b, ew, eh);
    ASSERT_TRUE(region.SelfCheck());
    EXPECT_EQ(region.BoundingBox(), Rect(l, t, r - 1, b - 1));
    const int w = std::min(std::abs(ew), r - 1 - l), h = std::min(std::abs(eh), b - 1 - t);
    const bool round = w >= 2 && h >= 2;
    for (int y = t; y < b - 1; ++y)
      for (int x = l; x < r - 1; ++x) {
        // The pixel's place in the top-left quarter of the corner block, by symmetry.
        const int bx = std::min(x - l, r - 2 - x), by = std::min(y - t, b - 2 - y);
        const bool in = region.Contains(x, y);
        ASSERT_EQ(in, region.Contains(r - 2 - (x - l), y)) << x << "," << y;
        ASSERT_EQ(in, region.Contains(x, b - 2 - (y - t))) << x << "," << y;
        if (!round || bx > (w - 1) / 2 || by > (h - 1) / 2) {
          ASSERT_TRUE(in) << x << "," << y;
          continue;
        }
        const bool surelyIn = InBlockEllipse(bx, by, w, h, 0);
        const bool surelyOut = w >= 3 && h >= 3 && !InBlockEllipse(bx, by, w, h, 3);
        ASSERT_TRUE(in || !surelyIn) << x << "," << y;
        ASSERT_TRUE(!in || !surelyOut) << x << "," << y;
      }
  }
}

TEST(RegionPolygon, FillModesMatchPointInPolygon) {
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const std::vector<TPoint> points = test::RandomPolygon(rng);
    for (TPolyFillMode mode : {TPolyFillMode::Winding, TPolyFillMode::Alternate}) {
      const Region region = Region::FromPolygon(points, mode);
      ASSERT_TRUE(region.SelfCheck());
      ASSERT_EQ(Mismatch(TMask::OfPolygon(kWindow, points, mode), region), "")
          << (mode == TPolyFillMode::Winding ? "winding" : "alternate");
    }
  }
}

TEST(RegionPolygon, OverlapIsFilledOnlyWhenWinding) {
  // A pentagram: its centre is wound around twice.
  const std::vector<TPoint> star = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  EXPECT_TRUE(Region::FromPolygon(star, TPolyFillMode::Winding).Contains(10, 11));
  EXPECT_FALSE(Region::FromPolygon(star, TPolyFillMode::Alternate).Contains(10, 11));
  // Two passes round the same square the same way wind twice, and cancel out when alternating.
  const std::vector<TPoint> twice = {{0, 0}, {8, 0}, {8, 8}, {0, 8},
                                     {0, 0}, {8, 0}, {8, 8}, {0, 8}};
  EXPECT_TRUE(Region::FromPolygon(twice, TPolyFillMode::Winding) == Region::FromRect(0, 0, 8, 8));
  EXPECT_TRUE(Region::FromPolygon(twice, TPolyFillMode::Alternate).IsEmpty());
}

TEST(RegionPolygon, DegeneratePolygonsAreEmpty) {
  struct Case {
    const char* name;
    std::vector<TPoint> points;
  };
  const Case cases[] = {
      {"no points", {}},
      {"one point", {{3, 4}}},
      {"two points", {{0, 0}, {10, 10}}},
      {"collinear", {{0, 0}, {5, 5}, {10, 10}}},
      {"flat", {{0, 3}, {9, 3}, {4, 3}}},
      {"one place", {{2, 2}, {2, 2}, {2, 2}, {2, 2}}},
  };
  for (const Case& c : cases)
    for (TPolyFillMode mode : {TPolyFillMode::Winding, TPolyFillMode::Alternate}) {
      SCOPED_TRACE(c.name);
      const Region region = Region::FromPolygon(c.points, mode);
      EXPECT_TRUE(region.IsEmpty());
      EXPECT_TRUE(region.SelfCheck());
    }
}

// Crossings are computed exactly even where x spans nearly the whole coordinate range.
TEST(RegionPolygon, CrossingsAreExactFarFromTheOrigin) {
#ifdef _WIN32
  GTEST_SKIP() << "GDI keeps region coordinates within 27 bits";
#endif
  for (uint32_t seed = 1; seed <= 50; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    std::vector<TPoint> points(3 + rng() % 5);
    for (TPoint& p : points)
      p = {int(int64_t(rng() % 4000000001u) - 2000000000), test::Coord(rng, -6, 6)};
    for (TPolyFillMode mode : {TPolyFillMode::Winding, TPolyFillMode::Alternate}) {
      const Region region = Region::FromPolygon(points, mode);
      ASSERT_TRUE(region.SelfCheck());
      // Each span is inside from its first pixel to its last and outside just beyond.
      for (const TRect& r : region.Rects())
        for (int y = r.Top; y < r.Bottom; ++y) {
          EXPECT_TRUE(PointInPolygon(r.Left, y, points, mode));
          EXPECT_TRUE(PointInPolygon(r.Right - 1, y, points, mode));
          EXPECT_FALSE(PointInPolygon(r.Left - 1, y, points, mode));
          EXPECT_FALSE(PointInPolygon(r.Right, y, points, mode));
        }
      for (int i = 0; i < 200; ++i) {
        const int x = int(int64_t(rng() % 4000000001u) - 2000000000), y = test::Coord(rng, -7, 7);
        EXPECT_EQ(region.Contains(x, y), PointInPolygon(x, y, points, mode)) << x << "," << y;
      }
    }
  }
}

TEST(RegionShapes, ShapesTooLargeToBuildAreRefused) {
  EXPECT_THROW(Region::FromRoundRect(0, 0, INT_MAX, INT_MAX, INT_MAX, INT_MAX), std::length_error);
  EXPECT_THROW(Region::FromRoundRect(0, 0, 100, 1 << 22, 50, 1 << 22), std::length_error);
  const std::vector<TPoint> tall = {{0, INT_MIN}, {10, INT_MAX}, {20, 0}};
  EXPECT_THROW(Region::FromPolygon(tall, TPolyFillMode::Winding), std::length_error);
#ifdef _WIN32
  GTEST_SKIP() << "GDI keeps region coordinates within 27 bits";
#endif
  // Wide but low shapes cost nothing.
  const std::vector<TPoint> wide = {{INT_MIN, 0}, {INT_MAX, 0}, {0, 3}};
  EXPECT_EQ(Region::FromPolygon(wide, TPolyFillMode::Winding).BoundingBox().Bottom, 3);
  EXPECT_EQ(Region::FromRoundRect(INT_MIN, 0, INT_MAX, 9, 40, 5).BoundingBox(),
            Rect(INT_MIN, 0, INT_MAX - 1, 8));
}

}  // namespace
}  // namespace kestrava
