#include <gtest/gtest.h>

#include "RenderSupport.h"
#include "movie/SwfTagCodes.h"

namespace kestrava::test {
namespace {

struct TProbe {
  int X, Y;
  TSwfRgba Expected;
};

void ExpectProbes(const TBitmap& picture, std::initializer_list<TProbe> probes, int tolerance = 2) {
  for (const TProbe& p : probes)
    EXPECT_TRUE(Near(At(picture, p.X, p.Y), p.Expected, tolerance)) << "at " << p.X << ", " << p.Y;
}

std::vector<uint8_t> SolidFills(std::initializer_list<TSwfRgba> colors) {
  TBitWriter w;
  w.U8(uint8_t(colors.size()));
  for (const TSwfRgba& c : colors)
    w.U8(0x00).Rgba(c.R, c.G, c.B, c.A);
  w.U8(0);  // no line styles
  return w.Take();
}

TEST(ShapeRender, FillsARectangleOnSideOneInsideItsEdges) {
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3, RectangleShape(1, 400, 400, 1000, 1000, kRed));
  const TBitmap picture = Draw(movie, {Item(1, 1)});
  // Twips 400 .. 1400 are the pixels 20 .. 69.
  ExpectProbes(picture, {{20, 20, kRed},
                         {69, 69, kRed},
                         {45, 45, kRed},
                         {19, 45, kWhite},
                         {70, 45, kWhite},
                         {45, 19, kWhite},
                         {45, 70, kWhite},
                         {0, 0, kWhite}});
}

TEST(ShapeRender, AnEdgeBoundsTheFillsOnBothItsSides) {
  // Two fills share a curved edge bulging right: only when the edge counts for both (once on
  // each side) does each fill stop exactly at the curve.
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3,
            ShapeBody(1, 3, SolidFills({kRed, kBlue}), 2, 0, [](TShapeRecords& r) {
              r.Change({.MoveTo = std::pair{200, 200}, .Fill0 = 0, .Fill1 = 1}).Line(800, 0);
              r.Change({.Fill1 = 2}).Line(800, 0).Line(0, 1600).Line(-800, 0);
              r.Change({.Fill1 = 1}).Line(-800, 0).Line(0, -1600);
              r.Change({.MoveTo = std::pair{1000, 200}, .Fill0 = 2, .Fill1 = 1})
                  .Curve(400, 800, -400, 800);
            }));
  const TBitmap picture = Draw(movie, {Item(1, 1)});
  // The curve reaches x = 1200 twips (60 px) half way down.
  ExpectProbes(picture, {{20, 50, kRed},
                         {55, 50, kRed},
                         {65, 50, kBlue},
                         {85, 50, kBlue},
                         {56, 10, kBlue},
                         {5, 50, kWhite},
                         {95, 50, kWhite}});
}

TEST(ShapeRender, FillsOfOneColourMeetWithoutASeam) {
  // Two fill styles of the same red on either side of x = 1010 twips, the middle of pixel
  // column 50: drawn one after the other, each would half cover that column.
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3,
            ShapeBody(1, 3, SolidFills({kRed, kRed}), 2, 0, [](TShapeRecords& r) {
              r.Change({.MoveTo = std::pair{0, 0}, .Fill0 = 0, .Fill1 = 1}).Line(1010, 0);
              r.Change({.Fill1 = 2}).Line(990, 0).Line(0, 2000).Line(-990, 0);
              r.Change({.Fill1 = 1}).Line(-1010, 0).Line(0, -2000);
              r.Change({.MoveTo = std::pair{1010, 0}, .Fill0 = 2, .Fill1 = 1}).Line(0, 2000);
            }));
  ExpectProbes(Draw(movie, {Item(1, 1)}, kWhite), {{50, 50, kRed}, {49, 50, kRed}}, 1);
}

TEST(ShapeRender, OverlappingFillsOfOneGroupDrawInStyleOrder) {
  // Two squares overlapping in the middle, drawn as fill 2 then fill 1 in the records: where
  // they overlap the higher style shows; of one colour, the overlap stays filled.
  auto body = [](TSwfRgba first, TSwfRgba second) {
    return ShapeBody(1, 3, SolidFills({first, second}), 2, 0, [](TShapeRecords& r) {
      r.Change({.MoveTo = std::pair{800, 800}, .Fill1 = 2})
          .Line(1000, 0)
          .Line(0, 1000)
          .Line(-1000, 0)
          .Line(0, -1000);
      r.Change({.MoveTo = std::pair{200, 200}, .Fill1 = 1})
          .Line(1000, 0)
          .Line(0, 1000)
          .Line(-1000, 0)
          .Line(0, -1000);
    });
  };
  TFakeMovie two, one;
  two.Add(swftag::DefineShape3, body(kRed, kBlue));
  one.Add(swftag::DefineShape3, body(kRed, kRed));
  ExpectProbes(Draw(two, {Item(1, 1)}), {{20, 20, kRed}, {50, 50, kBlue}, {80, 80, kBlue}});
  ExpectProbes(Draw(one, {Item(1, 1)}), {{20, 20, kRed}, {50, 50, kRed}, {80, 80, kRed}});
}

TEST(ShapeRender, CurvesFollowTheirControlPoint) {
  // A parabola from (200, 1800) to (1800, 1800) with its control at (1000, -600): its top is
  // at y = 600, and near its ends it stays far below the control polygon.
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3, ShapeBody(1, 3, SolidFills({kRed}), 1, 0, [](TShapeRecords& r) {
              r.Change({.MoveTo = std::pair{200, 1800}, .Fill1 = 1})
                  .Curve(800, -2400, 800, 2400)
                  .Line(-1600, 0);
            }));
  const TBitmap picture = Draw(movie, {Item(1, 1)});
  ExpectProbes(picture, {{50, 40, kRed}, {50, 25, kWhite}, {20, 40, kWhite}, {20, 70, kRed}});
}

TEST(ShapeRender, LaterStyleTablesDrawOverEarlierOnes) {
  // DefineShape2's second style table: a green square drawn after, so above, a red one.
  TBitWriter second;
  second.U8(1).U8(0x00).Rgb(0, 255, 0).U8(0);
  const std::vector<uint8_t> secondStyles = second.Take();
  TBitWriter first;
  first.U8(1).U8(0x00).Rgb(255, 0, 0).U8(0);
  TFakeMovie movie;
  movie.Add(swftag::DefineShape2, ShapeBody(1, 2, first.Take(), 1, 0, [&](TShapeRecords& r) {
              r.Change({.MoveTo = std::pair{0, 0}, .Fill1 = 1})
                  .Line(1200, 0)
                  .Line(0, 1200)
                  .Line(-1200, 0)
                  .Line(0, -1200);
              r.Change({.MoveTo = std::pair{800, 800},
                        .Fill1 = 1,
                        .NewStyles = secondStyles,
                        .NewFillBits = 1,
                        .NewLineBits = 0})
                  .Line(1000, 0)
                  .Line(0, 1000)
                  .Line(-1000, 0)
                  .Line(0, -1000);
            }));
  const TBitmap picture = Draw(movie, {Item(1, 1)});
  ExpectProbes(picture, {{20, 20, kRed}, {50, 50, kGreen}, {80, 80, kGreen}, {80, 20, kWhite}});
}

TEST(ShapeRender, OverlapsFollowTheWindingRuleTheShapeAsksFor) {
  // Two squares drawn the same way round in one fill: even-odd leaves their overlap empty,
  // DefineShape4's non-zero flag fills it.
  auto body = [](uint8_t flags) {
    TBitWriter styles;
    styles.U8(1).U8(0x00).Rgba(255, 0, 0, 255).U8(0);
    return ShapeBody(
        1, 4, styles.Take(), 1, 0,
        [](TShapeRecords& r) {
          r.Change({.MoveTo = std::pair{0, 0}, .Fill1 = 1})
              .Line(1200, 0)
              .Line(0, 1200)
              .Line(-1200, 0)
              .Line(0, -1200);
          r.Change({.MoveTo = std::pair{800, 800}})
              .Line(1200, 0)
              .Line(0, 1200)
              .Line(-1200, 0)
              .Line(0, -1200);
        },
        flags);
  };
  struct Case {
    uint8_t Flags;
    TSwfRgba Overlap;
  } cases[] = {{0x00, kWhite}, {0x04, kRed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Flags));
    TFakeMovie movie;
    movie.Add(swftag::DefineShape4, body(c.Flags));
    const TBitmap picture = Draw(movie, {Item(1, 1)});
    ExpectProbes(picture, {{20, 20, kRed}, {80, 80, kRed}, {50, 50, c.Overlap}});
  }
}

// A square over the whole frame filled with the given fill style (bytes of one FILLSTYLE).
std::vector<uint8_t> FilledFrame(uint16_t id, const std::vector<uint8_t>& fill) {
  std::vector<uint8_t> styles{1};
  styles.insert(styles.end(), fill.begin(), fill.end());
  styles.push_back(0);
  return ShapeBody(id, 3, styles, 1, 0, [](TShapeRecords& r) {
    r.Change({.MoveTo = std::pair{0, 0}, .Fill1 = 1})
        .Line(2000, 0)
        .Line(0, 2000)
        .Line(-2000, 0)
        .Line(0, -2000);
  });
}

// Black to white along x; the gradient square covers `span` twips from x = 0.
std::vector<uint8_t> Gradient(uint8_t type, uint8_t header, double span, double centerX,
                              double focal = 0) {
  TBitWriter w;
  w.U8(type).Matrix(span / 32768, span / 32768, int32_t(centerX), 1000);
  w.U8(header).U8(0).Rgba(0, 0, 0, 255).U8(255).Rgba(255, 255, 255, 255);
  if (type == 0x13) w.U16(uint16_t(int16_t(focal * 256)));
  return w.Take();
}

TEST(ShapeRender, GradientsSpreadAndMixAsTheirHeaderSays) {
  struct Case {
    const char* Name;
    std::vector<uint8_t> Fill;
    std::initializer_list<TProbe> Probes;
  };
  const uint8_t two = 2;  // stops
  const Case cases[] = {
      {"linear across the frame",
       Gradient(0x10, two, 2000, 1000),
       {{0, 50, {1, 1, 1, 255}},
        {25, 50, {65, 65, 65, 255}},
        {50, 50, {129, 129, 129, 255}},
        {99, 50, {254, 254, 254, 255}}}},
      {"pad past the end",
       Gradient(0x10, two, 1000, 500),
       {{25, 50, {129, 129, 129, 255}}, {75, 50, kWhite}}},
      {"reflect past the end",
       Gradient(0x10, uint8_t(0x40 | two), 1000, 500),
       {{25, 50, {129, 129, 129, 255}},
        {75, 50, {126, 126, 126, 255}},
        {60, 50, {203, 203, 203, 255}}}},
      {"repeat past the end",
       Gradient(0x10, uint8_t(0x80 | two), 1000, 500),
       {{25, 50, {129, 129, 129, 255}},
        {75, 50, {129, 129, 129, 255}},
        {60, 50, {52, 52, 52, 255}}}},
      // Half way in linear light is 0.5, which sRGB stores as 188.
      {"linear light",
       Gradient(0x10, uint8_t(0x10 | two), 2000, 1000),
       {{50, 50, {188, 188, 188, 255}}, {0, 50, {1, 1, 1, 255}}}},
      {"radial from the centre",
       Gradient(0x12, two, 2000, 1000),
       {{50, 50, {3, 3, 3, 255}}, {75, 50, {129, 129, 129, 255}}, {50, 0, kWhite}}},
      // The focal point at x = 1500 twips: black there, not in the centre.
      {"focal",
       Gradient(0x13, two, 2000, 1000, 0.5),
       {{75, 50, {3, 3, 3, 255}}, {50, 50, {86, 86, 86, 255}}}},
      // Five pixels per cycle: twenty cycles across the frame, each the same.
      {"repeat many times",
       Gradient(0x10, uint8_t(0x80 | two), 100, 1000),
       {{50, 50, {153, 153, 153, 255}},
        {10, 50, {153, 153, 153, 255}},
        {90, 50, {153, 153, 153, 255}},
        {51, 50, {204, 204, 204, 255}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeMovie movie;
    movie.Add(swftag::DefineShape3, FilledFrame(1, c.Fill));
    ExpectProbes(Draw(movie, {Item(1, 1)}), c.Probes, 4);
  }
}

// A linear gradient over the left half of the frame with the stops (ratio, colour) as stored.
std::vector<uint8_t> LeftHalfGradient(std::initializer_list<std::pair<uint8_t, TSwfRgba>> stops) {
  TBitWriter w;
  w.U8(0x10).Matrix(1000.0 / 32768, 1000.0 / 32768, 500, 1000).U8(uint8_t(stops.size()));
  for (const auto& [ratio, c] : stops)
    w.U8(ratio).Rgba(c.R, c.G, c.B, c.A);
  return w.Take();
}

TEST(ShapeRender, GradientStopsStandWhereTheReferencePlayerPutsThem) {
  struct Case {
    const char* Name;
    std::vector<uint8_t> Fill;
    std::initializer_list<TProbe> Probes;
  };
  const Case cases[] = {
      {"no stops: black", LeftHalfGradient({}), {{25, 50, kBlack}, {75, 50, kBlack}}},
      {"one stop: its colour",
       LeftHalfGradient({{128, kGreen}}),
       {{10, 50, kGreen}, {75, 50, kGreen}}},
      // A ratio that goes back follows the stop before it closely: a hard step.
      {"falling ratio",
       LeftHalfGradient({{127, kRed}, {0, kGreen}}),
       {{20, 50, kRed}, {30, 50, kGreen}, {75, 50, kGreen}}},
      // Pushed past the end, the last stop is not used: the one before it pads.
      {"pushed past the end",
       LeftHalfGradient({{254, kRed}, {0, kBlue}, {0, kGreen}}),
       {{25, 50, kRed}, {75, 50, kBlue}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeMovie movie;
    movie.Add(swftag::DefineShape3, FilledFrame(1, c.Fill));
    ExpectProbes(Draw(movie, {Item(1, 1)}), c.Probes, 4);
  }
}

TEST(ShapeRender, BitmapFillsRepeatOrClampAndSmoothOrNot) {
  // 2 x 2 pixels, each shown 25 pixels wide: red green / blue white.
  const std::vector<TSwfRgba> pixels{kRed, kGreen, kBlue, kWhite};
  auto fill = [](uint8_t type) {
    TBitWriter w;
    w.U8(type).U16(7).Matrix(500, 500, 0, 0);
    return w.Take();
  };
  struct Case {
    const char* Name;
    uint8_t Type;
    std::initializer_list<TProbe> Probes;
  };
  const Case cases[] = {
      {"repeating, sharp",
       0x42,
       {{12, 12, kRed},
        {37, 12, kGreen},
        {12, 37, kBlue},
        {37, 37, kWhite},
        {62, 12, kRed},
        {62, 62, kRed},
        {24, 12, kRed},
        {25, 12, kGreen}}},
      {"clipped, sharp",
       0x43,
       {{12, 12, kRed}, {62, 12, kGreen}, {90, 90, kWhite}, {12, 90, kBlue}}},
      // Smoothed, the middle column mixes red and green.
      {"clipped, smooth", 0x41, {{0, 0, kRed}, {25, 0, {128, 128, 0, 255}}, {90, 90, kWhite}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeMovie movie;
    movie.Add(swftag::DefineBitsLossless, LosslessBody(7, 2, 2, pixels, false));
    movie.Add(swftag::DefineShape3, FilledFrame(1, fill(c.Type)));
    ExpectProbes(Draw(movie, {Item(1, 1)}), c.Probes, 6);
  }
}

TEST(ShapeRender, ColourTransformsReachEveryBitmapPixelButTheClearOnes) {
  // Opaque red beside fully transparent: adding green and alpha turns the red yellow and
  // leaves the clear pixel clear; halving alpha alone halves the red.
  TBitWriter fill;
  fill.U8(0x43).U16(7).Matrix(1000, 1000, 0, 0);
  TFakeMovie movie;
  movie.Add(swftag::DefineBitsLossless2, LosslessBody(7, 2, 1, {kRed, {0, 0, 0, 0}}, true));
  movie.Add(swftag::DefineShape3, FilledFrame(1, fill.Take()));
  TDisplayItem added = Item(1, 1);
  added.ColorTransform.AddG = 255;
  added.ColorTransform.AddA = 128;
  ExpectProbes(Draw(movie, {added}, kBlue), {{25, 50, {255, 255, 0, 255}}, {75, 50, kBlue}});
  TDisplayItem half = Item(1, 1);
  half.ColorTransform.MulA = 0.5;
  ExpectProbes(Draw(movie, {half}, kBlue), {{25, 50, {127, 0, 128, 255}}, {75, 50, kBlue}});
}

TEST(ShapeRender, BitmapsPlacedThemselvesShowOnePixelPerTwentyTwips) {
  TFakeMovie movie;
  movie.Add(swftag::DefineBitsLossless, LosslessBody(1, 2, 1, {kRed, kGreen}, false));
  TSwfMatrix scaled;
  scaled.ScaleX = scaled.ScaleY = 10;
  ExpectProbes(Draw(movie, {Item(1, 1, scaled)}),
               {{5, 5, kRed}, {15, 5, kGreen}, {25, 5, kWhite}, {5, 15, kWhite}});
}

TEST(ShapeRender, AMissingBitmapFillsNothing) {
  TBitWriter w;
  w.U8(0x40).U16(99).Matrix(20, 20, 0, 0);
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3, FilledFrame(1, w.Take()));
  ExpectProbes(Draw(movie, {Item(1, 1)}), {{50, 50, kWhite}});
}

// One horizontal line at y = 1010 twips (the middle of pixel row 50) from x = 500 to 1500
// with the given style array.
std::vector<uint8_t> LineShape(int version, const std::vector<uint8_t>& lines) {
  std::vector<uint8_t> styles{0};
  styles.insert(styles.end(), lines.begin(), lines.end());
  return ShapeBody(1, version, styles, 0, 1, [](TShapeRecords& r) {
    r.Change({.MoveTo = std::pair{500, 1010}, .Line = 1}).Line(1000, 0);
  });
}

TEST(ShapeRender, LinesHaveTheirWidthAtLeastAPixelAndTheirCaps) {
  auto lineStyle = [](uint16_t width) {
    TBitWriter w;
    w.U8(1).U16(width).Rgba(0, 0, 0, 255);
    return w.Take();
  };
  auto lineStyle2 = [](uint16_t width, uint32_t cap) {
    TBitWriter w;
    w.U8(1).U16(width).UBits(cap, 2).UBits(0, 2).UBits(0, 4).UBits(0, 5).UBits(0, 1);
    w.UBits(cap, 2).Rgba(0, 0, 0, 255);
    return w.Take();
  };
  auto filledLine = [](uint16_t width) {
    TBitWriter w;
    w.U8(1).U16(width).UBits(0, 2).UBits(0, 2).UBits(1, 1).UBits(0, 11);
    w.U8(0x00).Rgba(0, 255, 0, 255);
    return w.Take();
  };
  struct Case {
    const char* Name;
    int Version;
    std::vector<uint8_t> Lines;
    std::initializer_list<TProbe> Probes;
  };
  const Case cases[] = {
      // A hairline still covers one pixel row.
      {"hairline", 3, lineStyle(0), {{50, 50, kBlack}, {50, 49, kWhite}, {50, 51, kWhite}}},
      {"ten pixels, round caps",
       3,
       lineStyle(200),
       {{50, 46, kBlack}, {50, 54, kBlack}, {50, 44, kWhite}, {50, 56, kWhite}, {22, 50, kBlack}}},
      {"ten pixels, no caps",
       4,
       lineStyle2(200, 1),
       {{50, 46, kBlack}, {22, 50, kWhite}, {26, 50, kBlack}}},
      {"ten pixels, square caps", 4, lineStyle2(200, 2), {{22, 46, kBlack}, {18, 50, kWhite}}},
      {"painted with a fill style", 4, filledLine(200), {{50, 46, kGreen}, {50, 44, kWhite}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeMovie movie;
    movie.Add(c.Version == 4 ? swftag::DefineShape4 : swftag::DefineShape3,
              LineShape(c.Version, c.Lines));
    ExpectProbes(Draw(movie, {Item(1, 1)}), c.Probes, 3);
  }
}

TEST(ShapeRender, AMaskShowsTheDepthsItClipsOnlyInsideItself) {
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3, RectangleShape(1, 400, 400, 800, 800, kBlue));  // the mask
  movie.Add(swftag::DefineShape3, RectangleShape(2, 0, 0, 2000, 2000, kRed));
  movie.Add(swftag::DefineShape3, RectangleShape(3, 1400, 1400, 400, 400, kGreen));
  TDisplayItem mask = Item(1, 1);
  mask.ClipDepth = 2;
  const TBitmap picture = Draw(movie, {mask, Item(2, 2), Item(3, 3)});
  // The mask's own colour never shows; depth 3 lies above the clipped depths.
  ExpectProbes(
      picture,
      {{30, 30, kRed}, {10, 10, kWhite}, {65, 30, kWhite}, {80, 80, kGreen}, {70, 30, kWhite}});
}

TEST(ShapeRender, ColourTransformsApplyWithAlphaAndThroughSprites) {
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3, RectangleShape(1, 0, 0, 500, 500, kRed));
  movie.Add(swftag::DefineSprite, SpriteBody(2));

  TDisplayItem half = Item(1, 1);
  half.ColorTransform.MulA = 0.5;
  TDisplayItem recoloured = Item(2, 1, Translation(500, 0));
  recoloured.ColorTransform.MulR = 0;
  recoloured.ColorTransform.AddB = 255;
  // The sprite moves its child by (1000, 1000) and halves its alpha; the child turns blue.
  TDisplayItem sprite = Item(3, 2, Translation(1000, 1000));
  sprite.ColorTransform.MulA = 0.5;
  TDisplayItem child = Item(1, 1);
  child.ColorTransform.MulR = 0;
  child.ColorTransform.AddB = 255;
  sprite.Children = {child};

  const TBitmap picture = Draw(movie, {half, recoloured, sprite});
  ExpectProbes(picture, {{12, 12, {255, 127, 127, 255}},
                         {37, 12, kBlue},
                         {62, 62, {127, 127, 255, 255}},
                         {62, 12, kWhite},
                         {12, 62, kWhite}});
}

TEST(ShapeRender, MorphShapesFollowTheRatio) {
  // A square 500 twips wide moves from x = 0 to x = 1500 and turns from red to blue.
  TBitWriter w;
  w.U16(1).Rect(0, 500, 0, 500).Rect(1500, 2000, 0, 500);
  TBitWriter edges;
  TShapeRecords start(edges, 1, 0);
  start.Change({.MoveTo = std::pair{0, 0}, .Fill1 = 1})
      .Line(500, 0)
      .Line(0, 500)
      .Line(-500, 0)
      .Line(0, -500);
  start.End();
  TBitWriter styles;
  styles.U8(1).U8(0x00).Rgba(255, 0, 0, 255).Rgba(0, 0, 255, 255).U8(0);
  const std::vector<uint8_t> styleBytes = styles.Take();
  const std::vector<uint8_t> startBytes = edges.Take();
  TBitWriter endEdges;
  TShapeRecords end(endEdges, 0, 0);
  end.Change({.MoveTo = std::pair{1500, 0}}).Line(500, 0).Line(0, 500).Line(-500, 0).Line(0, -500);
  end.End();
  w.U32(uint32_t(styleBytes.size() + startBytes.size())).Bytes(styleBytes).Bytes(startBytes);
  w.Bytes(endEdges.Take());
  TFakeMovie movie;
  movie.Add(swftag::DefineMorphShape, w.Take());

  struct Case {
    uint16_t Ratio;
    std::initializer_list<TProbe> Probes;
  } cases[] = {
      {0, {{12, 12, kRed}, {50, 12, kWhite}}},
      {65535, {{87, 12, kBlue}, {12, 12, kWhite}}},
      {32768, {{50, 12, {127, 0, 128, 255}}, {12, 12, kWhite}, {87, 12, kWhite}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Ratio);
    TDisplayItem item = Item(1, 1);
    item.Ratio = c.Ratio;
    ExpectProbes(Draw(movie, {item}), c.Probes, 3);
  }
}

TEST(ShapeRender, TheFrameIsLetterboxedInTheBackgroundColour) {
  // A frame twice as wide as high in a square: bands above and below; the red square larger
  // than the frame is cut at the frame's edges.
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3, RectangleShape(1, -4000, -4000, 12000, 12000, kRed));
  const TBitmap picture =
      Draw(movie, {Item(1, 1)}, kGreen, kSide, kSide, TSwfRect{0, 4000, 0, 2000});
  ExpectProbes(picture, {{50, 50, kRed},
                         {50, 10, kGreen},
                         {50, 90, kGreen},
                         {0, 25, kRed},
                         {99, 74, kRed},
                         {50, 24, kGreen},
                         {50, 75, kGreen}});
  // Nothing at all: the background colour everywhere.
  ExpectProbes(Draw(movie, {}, kBlue), {{0, 0, kBlue}, {50, 50, kBlue}});
}

TEST(ShapeRender, EveryTargetFormatGetsTheSamePicture) {
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3, RectangleShape(1, 0, 0, 1000, 2000, kRed));
  TDisplayFrame frame;
  frame.Background = kBlue;
  frame.Items = {Item(1, 1)};
  render::TFrameRenderer renderer(movie);
  for (TPixelFormat format :
       {TPixelFormat::pfDevice, TPixelFormat::pf32bit, TPixelFormat::pf24bit}) {
    SCOPED_TRACE(int(format));
    TBitmap target(kSide, kSide, format);
    renderer.Render(frame, kFrame, target);
    EXPECT_EQ(target.PixelFormat(), format);
    ExpectProbes(target, {{25, 50, kRed}, {75, 50, kBlue}}, 0);
    if (target.BitsPerPixel() == 32) {
      EXPECT_EQ(target.ScanLine(50)[3], 0) << "the spare byte";
    }
  }
}

}  // namespace
}  // namespace kestrava::test
