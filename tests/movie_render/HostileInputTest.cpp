// Damaged and hostile characters: each draws as nothing or as far as it can be read, never
// crashes, never stops the rest of the frame from drawing.
#include <gtest/gtest.h>

#include <random>

#include "RenderSupport.h"
#include "movie/SwfTagCodes.h"
#include "movie/render/RenderLimits.h"
#include "movie/render/ShapeDrawing.h"

namespace kestrava::test {
namespace {

// One valid character of every kind the renderer reads, with id 1.
std::vector<std::pair<uint16_t, std::vector<uint8_t>>> Samples() {
  std::vector<std::pair<uint16_t, std::vector<uint8_t>>> samples;
  samples.emplace_back(swftag::DefineShape3, RectangleShape(1, 0, 0, 1000, 1000, kRed));
  {
    // DefineShape4: a gradient fill and a line style with a bitmap fill.
    TBitWriter styles;
    styles.U8(1).U8(0x10).Matrix(0.05, 0.05, 500, 500).U8(2).U8(0).Rgba(0, 0, 0, 255);
    styles.U8(255).Rgba(255, 255, 255, 255);
    styles.U8(1).U16(100).UBits(0, 2).UBits(2, 2).UBits(1, 1).UBits(0, 11).U16(3 << 8);
    styles.U8(0x41).U16(2).Matrix(20, 20, 0, 0);
    samples.emplace_back(swftag::DefineShape4,
                         ShapeBody(1, 4, styles.Take(), 1, 1, [](TShapeRecords& r) {
                           r.Change({.MoveTo = std::pair{100, 100}, .Fill1 = 1, .Line = 1})
                               .Line(800, 0)
                               .Curve(100, 400, -100, 400)
                               .Line(-800, 0)
                               .Line(0, -800);
                         }));
  }
  {
    TBitWriter morph;
    morph.U16(1).Rect(0, 500, 0, 500).Rect(0, 900, 0, 900);
    TBitWriter body;
    body.U8(1).U8(0x00).Rgba(255, 0, 0, 255).Rgba(0, 0, 255, 255).U8(1).U16(20).U16(40);
    body.Rgba(0, 0, 0, 255).Rgba(0, 0, 0, 255);
    TShapeRecords start(body, 1, 1);
    start.Change({.MoveTo = std::pair{0, 0}, .Fill1 = 1, .Line = 1})
        .Line(500, 0)
        .Line(0, 500)
        .Line(-500, -500);
    start.End();
    const std::vector<uint8_t> startBytes = body.Take();
    TBitWriter end;
    TShapeRecords(end, 0, 0).Line(900, 0).Line(0, 900).Line(-900, -900).End();
    morph.U32(uint32_t(startBytes.size())).Bytes(startBytes).Bytes(end.Take());
    samples.emplace_back(swftag::DefineMorphShape, morph.Take());
  }
  {
    TBitWriter w;
    w.U16(1).U8(0x80 | 0x08).U8(0).U8(0).U16(1).U16(4).U16(12);
    TShapeRecords(w, 1, 0)
        .Change({.MoveTo = std::pair{0, -1024}, .Fill1 = 1})
        .Line(1024, 1024)
        .Line(-1024, 0)
        .End();
    w.U8('A').U16(1024).U16(0).U16(0).U16(1024).U16(0).U16(0);
    samples.emplace_back(swftag::DefineFont2, w.Take());
  }
  {
    TBitWriter w;
    w.U16(1).Rect(0, 2000, 0, 2000).Matrix(1, 1, 0, 0).U8(1).U8(12);
    w.U8(0x8F).U16(1).Rgb(255, 0, 0).U16(100).U16(900).U16(400).U8(2);
    w.UBits(0, 1).SBits(500, 12).UBits(0, 1).SBits(500, 12).U8(0);
    samples.emplace_back(swftag::DefineText, w.Take());
  }
  {
    TBitWriter w;
    w.U16(1).Rect(0, 2000, 0, 1000).U8(0xE5).U8(0x2B).U16(1).U16(300).Rgba(0, 0, 0, 255);
    w.U8(1).U16(0).U16(0).U16(0).U16(0).U8(0);
    for (char c : std::string("<p>Hello, <b>world</b></p>"))
      w.U8(uint8_t(c));
    w.U8(0);
    samples.emplace_back(swftag::DefineEditText, w.Take());
  }
  {
    // DefineButton2 whose up state shows a shape and the button itself.
    TBitWriter w;
    w.U16(1).U8(0).U16(0);
    w.U8(0x01).U16(1).U16(1).Matrix(1, 1, 100, 100).Align().UBits(0, 2).UBits(1, 4).Align();
    w.U8(0x0F).U16(1).U16(2).Matrix(0.5, 0.5, 0, 0).Align().UBits(0, 2).UBits(1, 4).Align();
    w.U8(0);
    samples.emplace_back(swftag::DefineButton2, w.Take());
  }
  samples.emplace_back(swftag::DefineBitsLossless2,
                       LosslessBody(1, 3, 2, {kRed, kGreen, kBlue, kWhite, kBlack, kRed}, true));
  return samples;
}

// The sample drawn as the only object, the bitmap of id 2 beside it for the fills that use one.
void DrawAlone(uint16_t tag, std::vector<uint8_t> body) {
  TFakeMovie movie;
  movie.Add(tag, std::move(body));
  movie.Add(swftag::DefineBitsLossless, LosslessBody(2, 1, 1, {kGreen}, false));
  TDisplayItem item = Item(1, 1);
  item.Ratio = 30000;
  Draw(movie, {item});
}

TEST(HostileInput, EveryCutOfEveryCharacterDrawsWithoutHarm) {
  for (const auto& [tag, body] : Samples()) {
    SCOPED_TRACE(tag);
    for (size_t length = 0; length <= body.size(); ++length)
      DrawAlone(tag, std::vector<uint8_t>(body.begin(), body.begin() + length));
  }
}

TEST(HostileInput, RandomDamageDrawsWithoutHarm) {
  // Seeded: a failure names its seed and replays.
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    for (const auto& [tag, sample] : Samples()) {
      std::vector<uint8_t> body = sample;
      const int flips = 1 + int(random() % 4);
      for (int i = 0; i < flips; ++i)
        body[2 + random() % (body.size() - 2)] ^= uint8_t(1u << (random() % 8));
      DrawAlone(tag, std::move(body));
    }
  }
}

TEST(HostileInput, ObjectsThatCannotBeDrawnLeaveTheRestOfTheFrame) {
  // Flat matrices, a gradient squeezed to a line, a bitmap fill squeezed to nothing: cairo
  // would refuse them and then draw nothing more. What follows them must still show.
  TBitWriter flatGradient;
  flatGradient.U8(1).U8(0x10).Matrix(0, 0, 0, 0).U8(1).U8(0).Rgba(0, 0, 255, 255).U8(0);
  TBitWriter flatBitmap;
  flatBitmap.U8(1).U8(0x40).U16(9).Matrix(0, 0, 0, 0).U8(0);
  auto square = [](TShapeRecords& r) {
    r.Change({.MoveTo = std::pair{0, 0}, .Fill1 = 1})
        .Line(1000, 0)
        .Line(0, 1000)
        .Line(-1000, 0)
        .Line(0, -1000);
  };
  TFakeMovie movie;
  movie.Add(swftag::DefineShape3, ShapeBody(1, 3, flatGradient.Take(), 1, 0, square));
  movie.Add(swftag::DefineShape3, ShapeBody(2, 3, flatBitmap.Take(), 1, 0, square));
  movie.Add(swftag::DefineBitsLossless, LosslessBody(9, 1, 1, {kGreen}, false));
  movie.Add(swftag::DefineShape3, RectangleShape(3, 1000, 1000, 1000, 1000, kRed));
  TSwfMatrix flat;
  flat.ScaleX = 0;
  TDisplayItem flatMask = Item(4, 3, flat);
  flatMask.ClipDepth = 5;
  const TBitmap picture =
      Draw(movie, {Item(1, 3, flat), Item(2, 1), Item(3, 2), flatMask, Item(5, 3), Item(6, 3)});
  // The flat gradient shows its last colour; the flat mask hides depth 5 only.
  EXPECT_TRUE(Near(At(picture, 25, 25), kBlue));
  EXPECT_TRUE(Near(At(picture, 75, 75), kRed));
}

TEST(HostileInput, TextCairoCannotShowLeavesTheRestOfTheFrame) {
  // Text fields with bytes that are no UTF-8 (a surrogate, a stray byte, a code past U+10FFFF)
  // and with a font of no size, then a red square.
  TFakeMovie movie;
  auto field = [](uint16_t id, uint16_t height, std::vector<uint8_t> text) {
    TBitWriter w;
    w.U16(id).Rect(0, 2000, 0, 1000).U8(0x80 | 0x01).U8(0).U16(9).U16(height).U8(0);
    text.push_back(0);
    return w.Bytes(text).Take();
  };
  movie.Add(swftag::DefineEditText,
            field(1, 400, {'a', 0xED, 0xA0, 0x80, 0xFF, 0xF7, 0xBF, 0xBF, 0xBF}));
  movie.Add(swftag::DefineEditText, field(2, 0, {'a', 'b'}));
  movie.Add(swftag::DefineShape3, RectangleShape(3, 1000, 1000, 1000, 1000, kRed));
  EXPECT_TRUE(Near(At(Draw(movie, {Item(1, 1), Item(2, 2), Item(3, 3)}), 75, 75), kRed));
}

TEST(HostileInput, ButtonsAndSpritesNestedWithoutEndStop) {
  TFakeMovie movie;
  {
    // A button whose up state shows itself, and a square.
    TBitWriter w;
    w.U16(1).U8(0x01).U16(1).U16(1).Matrix(1, 1, 0, 0);
    w.U8(0x01).U16(2).U16(2).Matrix(1, 1, 0, 0).U8(0);
    movie.Add(swftag::DefineButton, w.Take());
  }
  movie.Add(swftag::DefineShape3, RectangleShape(2, 0, 0, 1000, 1000, kRed));
  movie.Add(swftag::DefineSprite, SpriteBody(3));
  EXPECT_TRUE(Near(At(Draw(movie, {Item(1, 1)}), 25, 25), kRed));

  // Sprites inside sprites far deeper than any movie nests them. The tree is moved, never
  // copied: a copy of it would recurse as deep as the tree.
  TDisplayItem deep = Item(1, 2);
  for (int i = 0; i < 2000; ++i) {
    TDisplayItem outer = Item(1, 3);
    outer.Children.push_back(std::move(deep));
    deep = std::move(outer);
  }
  std::vector<TDisplayItem> items;
  items.push_back(std::move(deep));
  Draw(movie, std::move(items));
}

TEST(HostileInput, ShapesAreCappedInEdges) {
  // Horizontal edges of 10 bits each, one more than the cap.
  TBitWriter w;
  w.U16(1).Rect(0, 100, 0, 100).U8(0).U8(0);
  TShapeRecords records(w, 0, 0);
  for (size_t i = 0; i <= render::kMaxShapeEdges; ++i)
    w.UBits(1, 1).UBits(1, 1).UBits(0, 4).UBits(0, 1).UBits(0, 1).SBits(1, 2);
  records.End();
  const std::vector<uint8_t> body = w.Take();
  const TSwfCharacter character{1, swftag::DefineShape3, body};
  EXPECT_THROW(render::ReadShapeCharacter(character), ESwfError);
}

}  // namespace
}  // namespace kestrava::test
