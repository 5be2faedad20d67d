#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "movie/SwfGeometry.h"

namespace kestrava {
namespace {

using TBytes = std::vector<uint8_t>;

// Packs (value, width) fields most significant bit first, padded with zeros to a byte.
TBytes PackBits(std::initializer_list<std::pair<int64_t, int>> fields) {
  TBytes out;
  int used = 8;
  for (const auto& [value, width] : fields)
    for (int i = width - 1; i >= 0; --i) {
      if (used == 8) {
        out.push_back(0);
        used = 0;
      }
      if ((uint64_t(value) >> i) & 1) out.back() |= uint8_t(0x80 >> used);
      ++used;
    }
  return out;
}

TEST(SwfGeometry, ReadsARectAndAlignsAfterIt) {
  TBytes bytes = PackBits({{15, 5}, {-20, 15}, {11000, 15}, {0, 15}, {8000, 15}});
  bytes.push_back(0x5A);
  TSwfBits bits(bytes);
  const TSwfRect rect = ReadSwfRect(bits);
  EXPECT_EQ(rect.XMin, -20);
  EXPECT_EQ(rect.XMax, 11000);
  EXPECT_EQ(rect.YMin, 0);
  EXPECT_EQ(rect.YMax, 8000);
  // The flags after a rectangle (DefineShape4) start on a fresh byte.
  EXPECT_EQ(bits.UBits(8), 0x5Au);
}

TEST(SwfGeometry, ReadsMatricesWithAndWithoutTheirOptionalParts) {
  struct Case {
    const char* name;
    TBytes bytes;
    TSwfMatrix expected;
  };
  const Case cases[] = {
      {"translation only",
       PackBits({{0, 1}, {0, 1}, {12, 5}, {-400, 12}, {1000, 12}}),
       {1, 0, 0, 1, -400, 1000}},
      {"empty translation", PackBits({{0, 1}, {0, 1}, {0, 5}}), {1, 0, 0, 1, 0, 0}},
      {"scale",
       PackBits({{1, 1}, {19, 5}, {0x20000, 19}, {-0x8000, 19}, {0, 1}, {0, 5}}),
       {2, 0, 0, -0.5, 0, 0}},
      {"rotate and skew",
       PackBits({{0, 1}, {1, 1}, {18, 5}, {0x10000, 18}, {-0x10000, 18}, {3, 5}, {1, 3}, {-1, 3}}),
       {1, 1, -1, 1, 1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBytes bytes = c.bytes;
    bytes.push_back(0x77);
    TSwfBits bits(bytes);
    const TSwfMatrix m = ReadSwfMatrix(bits);
    EXPECT_EQ(m.ScaleX, c.expected.ScaleX);
    EXPECT_EQ(m.RotateSkew0, c.expected.RotateSkew0);
    EXPECT_EQ(m.RotateSkew1, c.expected.RotateSkew1);
    EXPECT_EQ(m.ScaleY, c.expected.ScaleY);
    EXPECT_EQ(m.TranslateX, c.expected.TranslateX);
    EXPECT_EQ(m.TranslateY, c.expected.TranslateY);
    EXPECT_EQ(bits.U8(), 0x77);
  }
}

TEST(SwfGeometry, MatrixProductAppliesTheInnerFirst) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-3, 3);
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE(round);
    const TSwfMatrix outer{value(random), value(random), value(random),
                           value(random), value(random), value(random)};
    const TSwfMatrix inner{value(random), value(random), value(random),
                           value(random), value(random), value(random)};
    const double x = value(random), y = value(random);
    double ix, iy, twiceX, twiceY, onceX, onceY;
    inner.Apply(x, y, ix, iy);
    outer.Apply(ix, iy, twiceX, twiceY);
    (outer * inner).Apply(x, y, onceX, onceY);
    EXPECT_NEAR(onceX, twiceX, 1e-9);
    EXPECT_NEAR(onceY, twiceY, 1e-9);
  }
  // The field meanings: x' = a x + c y + tx, y' = b x + d y + ty.
  double x, y;
  TSwfMatrix{2, 3, 5, 7, 11, 13}.Apply(1, 10, x, y);
  EXPECT_EQ(x, 2 * 1 + 5 * 10 + 11);
  EXPECT_EQ(y, 3 * 1 + 7 * 10 + 13);
}

TEST(SwfGeometry, ReadsColours) {
  const TBytes bytes = {10, 20, 30, 40, 50, 60, 70};
  TSwfBits bits(bytes);
  EXPECT_EQ(ReadSwfRgb(bits), (TSwfRgba{10, 20, 30, 255}));
  EXPECT_EQ(ReadSwfRgba(bits), (TSwfRgba{40, 50, 60, 70}));
  EXPECT_THROW(ReadSwfRgb(bits), ESwfError);
}

TEST(SwfGeometry, ReadsColourTransformsWithAndWithoutAlpha) {
  struct Case {
    const char* name;
    TBytes bytes;
    bool withAlpha;
    TSwfColorTransform expected;
  };
  const Case cases[] = {
      {"nothing", PackBits({{0, 1}, {0, 1}, {0, 4}}), false, {}},
      {"multiply",
       PackBits({{0, 1}, {1, 1}, {11, 4}, {128, 11}, {512, 11}, {-256, 11}}),
       false,
       {0.5, 2, -1, 1, 0, 0, 0, 0}},
      {"add with alpha",
       PackBits({{1, 1}, {0, 1}, {10, 4}, {-255, 10}, {1, 10}, {255, 10}, {-128, 10}}),
       true,
       {1, 1, 1, 1, -255, 1, 255, -128}},
      {"both with alpha",
       PackBits({{1, 1},
                 {1, 1},
                 {10, 4},
                 {256, 10},
                 {0, 10},
                 {64, 10},
                 {128, 10},
                 {1, 10},
                 {2, 10},
                 {3, 10},
                 {4, 10}}),
       true,
       {1, 0, 0.25, 0.5, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBytes bytes = c.bytes;
    bytes.push_back(0x99);
    TSwfBits bits(bytes);
    const TSwfColorTransform t = ReadSwfColorTransform(bits, c.withAlpha);
    EXPECT_EQ(t.MulR, c.expected.MulR);
    EXPECT_EQ(t.MulG, c.expected.MulG);
    EXPECT_EQ(t.MulB, c.expected.MulB);
    EXPECT_EQ(t.MulA, c.expected.MulA);
    EXPECT_EQ(t.AddR, c.expected.AddR);
    EXPECT_EQ(t.AddG, c.expected.AddG);
    EXPECT_EQ(t.AddB, c.expected.AddB);
    EXPECT_EQ(t.AddA, c.expected.AddA);
    EXPECT_EQ(bits.U8(), 0x99);
  }
}

TEST(SwfGeometry, ColourTransformsClampAndCompose) {
  const TSwfColorTransform darker{0.5, 1, 2, 1, 0, -100, 100, 0};
  EXPECT_EQ(darker.Apply({200, 50, 200, 128}), (TSwfRgba{100, 0, 255, 128}));
  EXPECT_TRUE(TSwfColorTransform{}.IsIdentity());
  EXPECT_FALSE(darker.IsIdentity());
  EXPECT_FALSE((TSwfColorTransform{1, 1, 1, 1, 0, 0, 0, 1}).IsIdentity());

  // Without clamping in between, the product gives what applying both in turn gives.
  const TSwfColorTransform inner{0.5, 0.25, 1, 0.5, 10, 20, -30, 40};
  const TSwfColorTransform outer{2, 1, 0.5, 1, -5, 6, 20, -8};
  const TSwfColorTransform both = outer * inner;
  for (const TSwfRgba c : {TSwfRgba{0, 0, 60, 0}, TSwfRgba{100, 40, 80, 60}}) {
    const TSwfRgba once = both.Apply(c);
    const TSwfRgba twice = outer.Apply(inner.Apply(c));
    EXPECT_NEAR(once.R, twice.R, 1);
    EXPECT_NEAR(once.G, twice.G, 1);
    EXPECT_NEAR(once.B, twice.B, 1);
    EXPECT_NEAR(once.A, twice.A, 1);
  }
}

}  // namespace
}  // namespace kestrava
