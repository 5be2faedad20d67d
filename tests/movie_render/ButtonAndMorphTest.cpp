#include <gtest/gtest.h>

#include "RenderSupport.h"
#include "movie/SwfTagCodes.h"

namespace kestrava::test {
namespace {

// A button record: the states it shows in, the character, depth and place.
void ButtonRecord(TBitWriter& w, uint8_t states, uint16_t id, uint16_t depth, int32_t x, int32_t y,
                  bool second, const TSwfColorTransform* transform = nullptr) {
  w.U8(states).U16(id).U16(depth).Matrix(1, 1, x, y);
  if (!second) return;
  // CXFORMWITHALPHA: both kinds of terms, 10 bits each, or none.
  w.Align().UBits(transform ? 1 : 0, 1).UBits(transform ? 1 : 0, 1).UBits(10, 4);
  if (transform) {
    for (double mul : {transform->MulR, transform->MulG, transform->MulB, transform->MulA})
      w.SBits(int32_t(mul * 256), 10);
    for (int add : {transform->AddR, transform->AddG, transform->AddB, transform->AddA})
      w.SBits(add, 10);
  }
  w.Align();
}

TEST(ButtonRender, ButtonsShowTheirUpStateByDepth) {
  for (uint16_t tag : {swftag::DefineButton, swftag::DefineButton2}) {
    SCOPED_TRACE(tag);
    const bool second = tag == swftag::DefineButton2;
    TBitWriter w;
    w.U16(1);
    if (second) w.U8(0).U16(0);
    // Up: green above red (depth 2 over depth 1, stored the other way round); over and down: blue.
    ButtonRecord(w, 0x01, 3, 2, 500, 500, second);
    ButtonRecord(w, 0x01, 2, 1, 0, 0, second);
    ButtonRecord(w, 0x06, 4, 3, 1000, 1000, second);
    w.U8(0);
    TFakeMovie movie;
    movie.Add(tag, w.Take());
    movie.Add(swftag::DefineShape3, RectangleShape(2, 0, 0, 1000, 1000, kRed));
    movie.Add(swftag::DefineShape3, RectangleShape(3, 0, 0, 1000, 1000, kGreen));
    movie.Add(swftag::DefineShape3, RectangleShape(4, 0, 0, 1000, 1000, kBlue));
    const TBitmap picture = Draw(movie, {Item(1, 1)});
    EXPECT_TRUE(Near(At(picture, 10, 10), kRed));
    EXPECT_TRUE(Near(At(picture, 40, 40), kGreen));
    EXPECT_TRUE(Near(At(picture, 80, 80), kWhite)) << "not the over state";
  }
}

TEST(ButtonRender, Button2RecordsCarryAColourTransform) {
  TSwfColorTransform half;
  half.MulA = 0.5;
  TBitWriter w;
  w.U16(1).U8(0).U16(0);
  ButtonRecord(w, 0x01, 2, 1, 0, 0, true, &half);
  w.U8(0);
  TFakeMovie movie;
  movie.Add(swftag::DefineButton2, w.Take());
  movie.Add(swftag::DefineShape3, RectangleShape(2, 0, 0, 1000, 1000, kRed));
  EXPECT_TRUE(Near(At(Draw(movie, {Item(1, 1)}), 10, 10), {255, 127, 127, 255}));
}

TEST(MorphRender, DefineMorphShape2BlendsItsLineStyles) {
  // A horizontal line at y = 1010 twips whose width goes from 0 (a hairline) to 400 twips and
  // whose caps are none (LINESTYLE2 flags).
  TBitWriter styles;
  styles.U8(0);  // no fills
  styles.U8(1).U16(0).U16(400).UBits(1, 2).UBits(0, 2).UBits(0, 12);
  styles.Rgba(0, 0, 0, 255).Rgba(0, 0, 0, 255);
  TBitWriter start;
  TShapeRecords(start, 0, 1)
      .Change({.MoveTo = std::pair{500, 1010}, .Line = 1})
      .Line(1000, 0)
      .End();
  TBitWriter end;
  TShapeRecords(end, 0, 0).Change({.MoveTo = std::pair{500, 1010}}).Line(1000, 0).End();
  const std::vector<uint8_t> styleBytes = styles.Take(), startBytes = start.Take();
  TBitWriter w;
  w.U16(1).Rect(0, 2000, 0, 2000).Rect(0, 2000, 0, 2000);
  w.Rect(0, 2000, 0, 2000).Rect(0, 2000, 0, 2000).U8(0);  // the edge bounds and flags
  w.U32(uint32_t(styleBytes.size() + startBytes.size())).Bytes(styleBytes).Bytes(startBytes);
  w.Bytes(end.Take());
  TFakeMovie movie;
  movie.Add(swftag::DefineMorphShape2, w.Take());
  struct Case {
    uint16_t Ratio;
    int HalfWidth;  // the line covers rows 50.5 - HalfWidth .. 50.5 + HalfWidth (a hairline row 50)
  } cases[] = {{0, 0}, {32768, 5}, {65535, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Ratio);
    TDisplayItem item = Item(1, 1);
    item.Ratio = c.Ratio;
    const TBitmap picture = Draw(movie, {item});
    EXPECT_TRUE(Near(At(picture, 50, 50), kBlack));
    EXPECT_TRUE(Near(At(picture, 50, 50 - std::max(c.HalfWidth - 1, 0)), kBlack));
    EXPECT_TRUE(Near(At(picture, 50, 50 - c.HalfWidth - 2), kWhite));
    EXPECT_TRUE(Near(At(picture, 23, 50), kWhite)) << "no cap";
  }
}

}  // namespace
}  // namespace kestrava::test
