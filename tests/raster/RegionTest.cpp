#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "raster/Region.h"
#include "tests/raster/RegionMask.h"

namespace kestrava {
namespace {

using test::kWindow;
using test::Mismatch;
using test::TMask;

constexpr TCombineMode kModes[] = {TCombineMode::Or, TCombineMode::And, TCombineMode::Xor,
                                   TCombineMode::Diff};

// What Kind() must say about a pixel set, judged from the mask alone.
TRegionKind KindOf(const TMask& mask) {
  if (mask.Count() == 0) return TRegionKind::Null;
  const TRect e = mask.Extents();
  return mask.Count() == int64_t{e.Width()} * e.Height() ? TRegionKind::Simple
                                                         : TRegionKind::Complex;
}

// Every observable of the region against the mask.
void ExpectMatches(const Region& region, const TMask& mask) {
  EXPECT_TRUE(region.SelfCheck());
  EXPECT_EQ(Mismatch(mask, region), "");
  EXPECT_EQ(region.BoundingBox(), mask.Extents());
  EXPECT_EQ(region.Kind(), KindOf(mask));
  EXPECT_EQ(region.IsEmpty(), mask.Count() == 0);
}

TEST(Region, RectanglesAreNormalisedAndEmptyOnesCoverNothing) {
  struct Case {
    const char* name;
    TRect given;
    TRect covered;
  };
  const Case cases[] = {
      {"in order", {2, 1, 10, 5}, {2, 1, 10, 5}},
      {"corners swapped", {10, 5, 2, 1}, {2, 1, 10, 5}},
      {"only x swapped", {10, 1, 2, 5}, {2, 1, 10, 5}},
      {"negative coordinates", {-1, -2, -7, -8}, {-7, -8, -1, -2}},
      {"zero width", {3, 3, 3, 9}, {}},
      {"zero height, swapped", {9, 4, 3, 4}, {}},
      {"single pixel", {-5, 7, -4, 8}, {-5, 7, -4, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Region r = Region::FromRect(c.given);
    std::vector<TRect> rects = {c.given};
    ExpectMatches(r, TMask::OfRects(kWindow, rects));
    EXPECT_EQ(r.BoundingBox(), c.covered);
    EXPECT_EQ(r.Kind(), c.covered.IsEmpty() ? TRegionKind::Null : TRegionKind::Simple);
  }
}

TEST(Region, CombineMatchesThePixelModel) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const test::TOperand a = test::RandomOperand(rng), b = test::RandomOperand(rng);
    ExpectMatches(a.region, a.mask);
    ExpectMatches(b.region, b.mask);
    for (TCombineMode mode : kModes) {
      SCOPED_TRACE("mode " + std::to_string(int(mode)));
      Region combined;
      const TRegionKind kind = combined.Combine(a.region, b.region, mode);
      const TMask expected = TMask::Combined(a.mask, b.mask, mode);
      ExpectMatches(combined, expected);
      EXPECT_EQ(kind, KindOf(expected));
      // The effects combine into one of the operands.
      Region intoA = a.region, intoB = b.region;
      intoA.Combine(intoA, b.region, mode);
      intoB.Combine(a.region, intoB, mode);
      ExpectMatches(intoA, expected);
      ExpectMatches(intoB, expected);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

TEST(Region, FromRectsOfManyOverlappingBandsEqualsPairwiseUnion) {
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    std::vector<TRect> rects(300);
    for (TRect& r : rects) {
      const int x = test::Coord(rng, 0, 99), y = test::Coord(rng, 0, 199);
      r = {x, y, x + test::Coord(rng, 1, 40), y + test::Coord(rng, 1, 20)};
    }
    Region pairwise;
    for (const TRect& r : rects) {
      pairwise.Combine(pairwise, Region::FromRect(r), TCombineMode::Or);
      ASSERT_TRUE(pairwise.SelfCheck());
    }
    const Region all = Region::FromRects(rects);
    EXPECT_TRUE(all == pairwise);
    ExpectMatches(all, TMask::OfRects({0, 0, 140, 220}, rects));
  }
}

// Rectangles handed over in the banded order take a path without sorting: touching pieces and
// equal neighbouring bands must come out merged, exactly as the pairwise union has them; an
// order broken halfway must still give the union.
TEST(Region, FromRectsInBandOrderMergesTouchingPiecesAndEqualBands) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    std::vector<TRect> rects;
    std::vector<std::pair<int, int>> spans;
    for (int top = 0; top < 120;) {
      const int bottom = top + test::Coord(rng, 1, 4);
      if (spans.empty() || test::Coord(rng, 0, 2) != 0) {  // else repeat the band above
        spans.clear();
        for (int x = test::Coord(rng, -5, 5); x < 90; x += test::Coord(rng, 0, 6)) {
          const int right = x + test::Coord(rng, 1, 12);
          spans.push_back({x, right});
          x = right;  // a gap of 0 makes two pieces touch
        }
      }
      for (auto [l, r] : spans)
        rects.push_back({l, top, r, bottom});
      top = bottom + test::Coord(rng, 0, 1);  // bands touch or leave a row free
    }
    if (seed % 5 == 0) std::swap(rects[rects.size() / 2], rects.back());  // order broken
    Region pairwise;
    for (const TRect& r : rects)
      pairwise.Combine(pairwise, Region::FromRect(r), TCombineMode::Or);
    const Region all = Region::FromRects(rects);
    ASSERT_TRUE(all.SelfCheck());
    EXPECT_TRUE(all == pairwise);
    EXPECT_EQ(all.Rects(), pairwise.Rects());
  }
}

TEST(Region, TranslateMovesEveryPixel) {
  for (uint32_t seed = 1; seed <= 50; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const test::TOperand a = test::RandomOperand(rng);
    const int dx = test::Coord(rng, -3, 3), dy = test::Coord(rng, -3, 3);
    Region moved = a.region;
    moved.Translate(dx, dy);
    TMask expected(kWindow);
    for (int y = kWindow.Top; y < kWindow.Bottom; ++y)
      for (int x = kWindow.Left; x < kWindow.Right; ++x)
        expected.Set(x, y, a.mask.At(x - dx, y - dy));
    ExpectMatches(moved, expected);
    EXPECT_EQ(moved.Kind(), a.region.Kind());
  }
}

// Equality is about pixels, not about the operation that produced them.
// Equality is about pixels, not about what the region held before it became empty.
TEST(Region, EmptyRegionsAreEqualHoweverTheyWereMade) {
  Region apart = Region::FromRect(5, 5, 9, 9);
  apart.Combine(apart, Region::FromRect(20, 20, 30, 30), TCombineMode::And);
  Region removed = Region::FromRect(1, 2, 3, 4);
  removed.Combine(removed, Region::FromRect(0, 0, 10, 10), TCombineMode::Diff);
  EXPECT_TRUE(apart.IsEmpty());
  EXPECT_TRUE(removed.IsEmpty());
  EXPECT_TRUE(apart == Region());
  EXPECT_TRUE(apart == removed);
  EXPECT_FALSE(apart == Region::FromRect(5, 5, 6, 6));
}

TEST(Region, KindCountsRectanglesAfterMerging) {
  struct Case {
    const char* name;
    std::vector<TRect> rects;
    TRegionKind kind;
  };
  const Case cases[] = {
      {"nothing", {}, TRegionKind::Null},
      {"only empty rectangles", {{1, 1, 1, 5}, {4, 2, 0, 2}}, TRegionKind::Null},
      {"side by side make one", {{0, 0, 4, 3}, {4, 0, 9, 3}}, TRegionKind::Simple},
      {"stacked make one", {{0, 0, 4, 3}, {0, 3, 4, 8}}, TRegionKind::Simple},
      {"apart", {{0, 0, 4, 3}, {5, 0, 9, 3}}, TRegionKind::Complex},
      {"an L", {{0, 0, 4, 3}, {0, 3, 2, 8}}, TRegionKind::Complex},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Region r = Region::FromRects(c.rects);
    EXPECT_EQ(r.Kind(), c.kind);
    ExpectMatches(r, TMask::OfRects(kWindow, c.rects));
  }
}

}  // namespace
}  // namespace kestrava
