#include <gtest/gtest.h>

#include "RenderSupport.h"
#include "movie/SwfTagCodes.h"
#include "movie/render/EditText.h"

namespace kestrava::test {
namespace {

// A square glyph from the baseline up to the em height, `em` units on a side.
std::vector<uint8_t> SquareGlyph(int32_t em) {
  TBitWriter w;
  TShapeRecords(w, 1, 0)
      .Change({.MoveTo = std::pair{0, -em}, .Fill1 = 1})
      .Line(em, 0)
      .Line(0, em)
      .Line(-em, 0)
      .Line(0, -em)
      .End();
  return w.Take();
}

// A font with that one glyph for the character 'A', in each of the three font tags.
std::vector<uint8_t> FontBody(uint16_t tag, uint16_t id) {
  const std::vector<uint8_t> glyph = SquareGlyph(tag == swftag::DefineFont3 ? 1024 * 20 : 1024);
  TBitWriter w;
  w.U16(id);
  if (tag == swftag::DefineFont) {
    w.U16(2).Bytes(glyph);
    return w.Take();
  }
  // A layout (0x80), one glyph, 16-bit offsets from the offset table: the glyph after the
  // glyph's offset and the code table's, the code table after the glyph.
  w.U8(0x80).U8(0).U8(0).U16(1);
  w.U16(4).U16(uint16_t(4 + glyph.size())).Bytes(glyph).U8('A');
  w.U16(1024).U16(0).U16(0).U16(1200);  // ascent, descent, leading, the advance
  w.U16(0);                             // the glyph's bounds: an empty rectangle
  w.U16(0);                             // no kerning
  return w.Take();
}

// Two glyphs 500 twips high at (400, 1400) and (1000, 1400), in `color`.
std::vector<uint8_t> TextBody(uint16_t tag, uint16_t id, uint16_t fontId, TSwfRgba color) {
  TBitWriter w;
  w.U16(id).Rect(0, 2000, 0, 2000).Matrix(1, 1, 0, 0);
  w.U8(1).U8(12);  // glyph and advance bits
  w.U8(0x80 | 0x08 | 0x04 | 0x02 | 0x01).U16(fontId);
  if (tag == swftag::DefineText2)
    w.Rgba(color.R, color.G, color.B, color.A);
  else
    w.Rgb(color.R, color.G, color.B);
  w.U16(400).U16(1400).U16(500).U8(2);
  w.UBits(0, 1).SBits(600, 12).UBits(0, 1).SBits(600, 12);
  w.U8(0);
  return w.Take();
}

TEST(TextRender, StaticTextPlacesGlyphsOfEveryFontKind) {
  for (uint16_t fontTag : {swftag::DefineFont, swftag::DefineFont2, swftag::DefineFont3}) {
    SCOPED_TRACE(fontTag);
    TFakeMovie movie;
    movie.Add(fontTag, FontBody(fontTag, 5));
    movie.Add(swftag::DefineText, TextBody(swftag::DefineText, 1, 5, kRed));
    const TBitmap picture = Draw(movie, {Item(1, 1)});
    // Glyphs at x 400 .. 900 and 1000 .. 1500 twips, y 900 .. 1400.
    for (auto [x, y, expected] : {std::tuple{30, 60, kRed},
                                  {60, 60, kRed},
                                  {47, 60, kWhite},
                                  {30, 42, kWhite},
                                  {30, 72, kWhite},
                                  {80, 60, kWhite}})
      EXPECT_TRUE(Near(At(picture, x, y), expected)) << x << ", " << y;
  }
}

TEST(TextRender, DefineText2HasAlphaAndTheItemTransformApplies) {
  TFakeMovie movie;
  movie.Add(swftag::DefineFont, FontBody(swftag::DefineFont, 5));
  movie.Add(swftag::DefineText2, TextBody(swftag::DefineText2, 1, 5, {0, 0, 255, 128}));
  EXPECT_TRUE(Near(At(Draw(movie, {Item(1, 1)}), 30, 60), {127, 127, 255, 255}));
  TDisplayItem moved = Item(1, 1, Translation(0, -400));
  moved.ColorTransform.MulB = 0;
  moved.ColorTransform.AddG = 255;
  EXPECT_TRUE(Near(At(Draw(movie, {moved}), 30, 40), {127, 255, 127, 255}));
}

TEST(TextRender, TextWithoutItsFontDrawsNothing) {
  TFakeMovie movie;
  movie.Add(swftag::DefineText, TextBody(swftag::DefineText, 1, 5, kRed));
  movie.Add(swftag::DefineShape3, RectangleShape(5, 0, 0, 100, 100, kRed));  // not a font
  EXPECT_TRUE(Near(At(Draw(movie, {Item(1, 1)}), 30, 60), kWhite));
}

// A text field over 0 .. 2000 x 0 .. 1000 twips with the given flags and text.
std::vector<uint8_t> FieldBody(uint16_t id, bool border, bool outlines, const std::string& text,
                               bool html = false) {
  TBitWriter w;
  w.U16(id).Rect(0, 2000, 0, 1000);
  w.U8(0x80 | 0x04 | 0x01);  // text, colour, font
  w.U8(uint8_t((border ? 0x08 : 0) | (html ? 0x02 : 0) | (outlines ? 0x01 : 0)));
  w.U16(5).U16(400).Rgba(255, 0, 0, 255);
  w.U8(0);  // no variable name
  for (char c : text)
    w.U8(uint8_t(c));
  w.U8(0);
  return w.Take();
}

// Pixels of the picture, within the box, close to red.
int RedPixels(const TBitmap& picture, int x0, int y0, int x1, int y1) {
  int count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const TSwfRgba c = At(picture, x, y);
      count += c.R > 200 && c.G < 100 && c.B < 100;
    }
  return count;
}

TEST(TextRender, TextFieldsShowTheirTextInsideTheirBounds) {
  TFakeMovie movie;
  movie.Add(swftag::DefineFont2, FontBody(swftag::DefineFont2, 5));
  movie.Add(swftag::DefineEditText, FieldBody(1, false, false, "HHHH"));
  movie.Add(swftag::DefineEditText, FieldBody(2, true, false, ""));
  movie.Add(swftag::DefineEditText, FieldBody(3, false, true, "AA"));
  movie.Add(swftag::DefineEditText, FieldBody(4, false, false, ""));

  // The fallback font: red strokes in the first line, 20 pixels high at most.
  const TBitmap fallback = Draw(movie, {Item(1, 1)}, kBlue);
  EXPECT_GT(RedPixels(fallback, 0, 0, 100, 25), 40);
  EXPECT_EQ(RedPixels(fallback, 0, 25, 100, 100), 0);
  EXPECT_EQ(RedPixels(Draw(movie, {Item(4, 4)}, kBlue), 0, 0, 100, 100), 0) << "no text";

  // A border: white inside, black on the pixels where the bounds start and end (the right one
  // lies just outside the picture).
  const TBitmap bordered = Draw(movie, {Item(2, 2)}, kBlue);
  for (auto [x, y, expected] : {std::tuple{50, 25, kWhite},
                                {0, 25, kBlack},
                                {50, 0, kBlack},
                                {99, 25, kWhite},
                                {50, 50, kBlack},
                                {50, 60, kBlue}})
    EXPECT_TRUE(Near(At(bordered, x, y), expected)) << x << ", " << y;

  // The embedded outlines: squares of the font height (20 pixels) after the 2-pixel gutter,
  // one advance (1200 of 1024 units: 23.4 pixels) apart.
  const TBitmap outlined = Draw(movie, {Item(3, 3)}, kBlue);
  for (auto [x, y, expected] : {std::tuple{10, 12, kRed},
                                {35, 12, kRed},
                                {23, 12, kBlue},
                                {60, 12, kBlue},
                                {10, 30, kBlue}})
    EXPECT_TRUE(Near(At(outlined, x, y), expected)) << x << ", " << y;
}

TEST(TextRender, HtmlFieldsLoseTheirMarkup) {
  const struct {
    const char* Html;
    const char* Text;
  } cases[] = {
      {"<p align=\"left\"><font face=\"Arial\">Hello</font></p>", "Hello"},
      {"one<br>two<BR/>three", "one\ntwo\nthree"},
      {"<p>a</p><p>b</p>", "a\nb"},
      {"&lt;tag&gt; &amp; &quot;q&quot; &apos;s&apos;&nbsp;x", "<tag> & \"q\" 's' x"},
      {"an &unknown; entity", "an &unknown; entity"},
      {"unclosed <b", "unclosed "},
  };
  for (const auto& c : cases)
    EXPECT_EQ(render::PlainTextOfHtml(c.Html), c.Text) << c.Html;
}

}  // namespace
}  // namespace kestrava::test
