#include "movie/render/StaticText.h"

#include "movie/SwfTagCodes.h"
#include "movie/render/RenderLimits.h"

namespace kestrava::render {

TStaticText ReadStaticTextCharacter(const TSwfCharacter& character) {
  if (character.TagCode != swftag::DefineText && character.TagCode != swftag::DefineText2)
    throw ESwfError("not a text");
  const bool withAlpha = character.TagCode == swftag::DefineText2;
  TSwfBits bits(character.Body);
  bits.U16();
  TStaticText text;
  text.Bounds = ReadSwfRect(bits);
  bits.Align();
  text.Matrix = ReadSwfMatrix(bits);
  const int glyphBits = bits.U8();
  const int advanceBits = bits.U8();
  if (glyphBits > 32 || advanceBits > 32) throw ESwfError("a text with fields wider than 32 bits");
  TTextRun state;
  double x = 0, y = 0;
  size_t glyphs = 0;
  for (;;) {
    const uint8_t flags = bits.U8();
    // Records start with the type bit set; anything else ends them.
    if ((flags & 0x80) == 0) break;
    if (flags & 0x08) state.FontId = bits.U16();
    if (flags & 0x04) state.Color = withAlpha ? ReadSwfRgba(bits) : ReadSwfRgb(bits);
    if (flags & 0x01) x = bits.S16();
    if (flags & 0x02) y = bits.S16();
    if (flags & 0x08) state.Height = bits.U16();
    const int count = bits.U8();
    TTextRun run = state;
    for (int i = 0; i < count; ++i) {
      TPlacedGlyph glyph;
      glyph.Index = uint16_t(glyphBits > 0 ? bits.UBits(glyphBits) : 0);
      glyph.X = x;
      glyph.Y = y;
      x += advanceBits > 0 ? bits.SBits(advanceBits) : 0;
      run.Glyphs.push_back(glyph);
    }
    bits.Align();
    glyphs += run.Glyphs.size();
    if (glyphs > kMaxGlyphs) throw ESwfError("a text with too many glyphs");
    text.Runs.push_back(std::move(run));
  }
  return text;
}

}  // namespace kestrava::render
