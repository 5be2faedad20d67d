#include "movie/render/ButtonParts.h"

#include <algorithm>

#include "movie/SwfTagCodes.h"

namespace kestrava::render {

namespace {

// Filters are not drawn; their sizes are known, so the records behind them can be read.
void SkipFilters(TSwfBits& bits) {
  const int count = bits.U8();
  for (int i = 0; i < count; ++i) {
    const uint8_t id = bits.U8();
    switch (id) {
      case 0:
        bits.Skip(23);
        break;  // drop shadow
      case 1:
        bits.Skip(9);
        break;  // blur
      case 2:
        bits.Skip(15);
        break;  // glow
      case 3:
        bits.Skip(27);
        break;  // bevel
      case 4:   // gradient glow
      case 7:
        bits.Skip(size_t(bits.U8()) * 5 + 19);
        break;   // gradient bevel
      case 5: {  // convolution
        const size_t columns = bits.U8(), rows = bits.U8();
        bits.Skip(8 + columns * rows * 4 + 5);
        break;
      }
      case 6:
        bits.Skip(80);
        break;  // colour matrix
      default:
        throw ESwfError("a filter of unknown kind");
    }
  }
}

}  // namespace

std::vector<TButtonPart> ReadButtonUpState(const TSwfCharacter& character) {
  if (character.TagCode != swftag::DefineButton && character.TagCode != swftag::DefineButton2)
    throw ESwfError("not a button");
  const bool second = character.TagCode == swftag::DefineButton2;
  TSwfBits bits(character.Body);
  bits.U16();
  if (second) {
    bits.U8();   // menu tracking
    bits.U16();  // where the actions start
  }
  std::vector<TButtonPart> parts;
  for (;;) {
    const uint8_t flags = bits.U8();
    if (flags == 0) break;
    TButtonPart part;
    part.CharacterId = bits.U16();
    part.Depth = bits.U16();
    part.Matrix = ReadSwfMatrix(bits);
    if (second) {
      bits.Align();
      part.Transform = ReadSwfColorTransform(bits, true);
      if (flags & 0x10) SkipFilters(bits);
      if (flags & 0x20) part.BlendMode = bits.U8();
    }
    if (flags & 0x01) parts.push_back(part);
  }
  std::stable_sort(parts.begin(), parts.end(),
                   [](const TButtonPart& a, const TButtonPart& b) { return a.Depth < b.Depth; });
  return parts;
}

}  // namespace kestrava::render
