#include "movie/render/FontGlyphs.h"

#include <algorithm>

#include "movie/SwfTagCodes.h"
#include "movie/render/RenderLimits.h"

namespace kestrava::render {

namespace {

TPath ReadGlyph(std::span<const uint8_t> data) {
  try {
    TSwfBits bits(data);
    std::vector<TStyleGroup> groups(1);
    ReadShapeRecords(bits, 0, groups);
    return BuildFillPaths(groups[0].Edges, 1)[0];
  } catch (const ESwfError&) {
    return {};
  }
}

// The glyph outlines between the offsets (counted from `tableStart`); the last one ends at `end`.
void ReadGlyphs(std::span<const uint8_t> body, size_t tableStart,
                const std::vector<size_t>& offsets, size_t end, TFontGlyphs& font) {
  for (size_t i = 0; i < offsets.size(); ++i) {
    const size_t from = tableStart + offsets[i];
    const size_t to =
        std::min(i + 1 < offsets.size() ? tableStart + offsets[i + 1] : end, body.size());
    font.Glyphs.push_back(from < to ? ReadGlyph(body.subspan(from, to - from)) : TPath{});
  }
}

TFontGlyphs ReadFont1(const TSwfCharacter& character) {
  TFontGlyphs font;
  TSwfBits bits(character.Body);
  bits.U16();
  const size_t tableStart = bits.Position();
  if (bits.AtEnd()) return font;
  const size_t first = bits.U16();
  const size_t count = first / 2;
  if (count > kMaxGlyphs) throw ESwfError("a font with too many glyphs");
  std::vector<size_t> offsets{first};
  for (size_t i = 1; i < count; ++i)
    offsets.push_back(bits.U16());
  ReadGlyphs(character.Body, tableStart, offsets, character.Body.size(), font);
  return font;
}

TFontGlyphs ReadFont2(const TSwfCharacter& character) {
  TFontGlyphs font;
  if (character.TagCode == swftag::DefineFont3) font.EmSquare = 1024 * 20;
  TSwfBits bits(character.Body);
  bits.U16();
  const uint8_t flags = bits.U8();
  const bool hasLayout = flags & 0x80;
  const bool wideOffsets = flags & 0x08;
  const bool wideCodes = flags & 0x04;
  bits.U8();             // language
  bits.Skip(bits.U8());  // name
  const size_t count = bits.U16();
  const size_t tableStart = bits.Position();
  std::vector<size_t> offsets;
  for (size_t i = 0; i < count; ++i)
    offsets.push_back(wideOffsets ? bits.U32() : bits.U16());
  if (count == 0) return font;
  const size_t codeTable = wideOffsets ? bits.U32() : bits.U16();
  ReadGlyphs(character.Body, tableStart, offsets, tableStart + codeTable, font);

  // The glyphs serve static text even when the tables behind them are cut short.
  if (tableStart + codeTable > character.Body.size()) return font;
  try {
    TSwfBits tail(character.Body.subspan(tableStart + codeTable));
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < count; ++i)
      codes.push_back(wideCodes ? tail.U16() : tail.U8());
    font.Codes = std::move(codes);
    if (hasLayout) {
      font.Ascent = tail.U16();
      font.Descent = tail.U16();
      font.Leading = tail.S16();
      std::vector<double> advances;
      for (size_t i = 0; i < count; ++i)
        advances.push_back(tail.S16());
      font.Advances = std::move(advances);
      font.HasLayout = true;
    }
  } catch (const ESwfError&) {
  }
  return font;
}

}  // namespace

int TFontGlyphs::GlyphOf(uint16_t code) const {
  for (size_t i = 0; i < Codes.size(); ++i)
    if (Codes[i] == code) return int(i);
  return -1;
}

TFontGlyphs ReadFontCharacter(const TSwfCharacter& character) {
  if (character.TagCode == swftag::DefineFont) return ReadFont1(character);
  if (character.TagCode == swftag::DefineFont2 || character.TagCode == swftag::DefineFont3)
    return ReadFont2(character);
  throw ESwfError("not a font");
}

}  // namespace kestrava::render
