#include "movie/PlaceCommand.h"

#include "movie/SwfTagCodes.h"

namespace kestrava {

namespace {

TPlaceCommand ReadPlaceObject1(TSwfBits& bits) {
  TPlaceCommand place;
  place.CharacterId = bits.U16();
  place.Depth = bits.U16();
  place.Matrix = ReadSwfMatrix(bits);
  if (!bits.AtEnd()) place.ColorTransform = ReadSwfColorTransform(bits, false);
  return place;
}

void SkipFilters(TSwfBits& bits) {
  const int count = bits.U8();
  for (int i = 0; i < count; ++i) {
    switch (bits.U8()) {
      case 0:  // drop shadow
        bits.Skip(23);
        break;
      case 1:  // blur
        bits.Skip(9);
        break;
      case 2:  // glow
        bits.Skip(15);
        break;
      case 3:  // bevel
        bits.Skip(27);
        break;
      case 4:    // gradient glow
      case 7: {  // gradient bevel
        const int colours = bits.U8();
        bits.Skip(size_t(colours) * 5 + 19);
        break;
      }
      case 5: {  // convolution
        const int columns = bits.U8();
        const int rows = bits.U8();
        bits.Skip(8 + size_t(columns) * size_t(rows) * 4 + 5);
        break;
      }
      case 6:  // colour matrix
        bits.Skip(80);
        break;
      default:
        throw ESwfError("unknown filter");
    }
  }
}

}  // namespace

std::optional<TPlaceCommand> ReadPlaceCommand(uint16_t tagCode, std::span<const uint8_t> body) {
  TSwfBits bits(body);
  try {
    if (tagCode == swftag::PlaceObject) return ReadPlaceObject1(bits);
    const uint8_t flags = bits.U8();
    const uint8_t flags3 = tagCode == swftag::PlaceObject3 ? bits.U8() : 0;
    TPlaceCommand place;
    place.Depth = bits.U16();
    place.Move = flags & 0x01;
    const bool hasCharacter = flags & 0x02;
    const bool hasImage = flags3 & 0x10;
    const bool hasClassName = flags3 & 0x08;
    if (hasClassName || (hasImage && hasCharacter)) (void)bits.String();
    if (hasCharacter) place.CharacterId = bits.U16();
    if (flags & 0x04) place.Matrix = ReadSwfMatrix(bits);
    if (flags & 0x08) place.ColorTransform = ReadSwfColorTransform(bits, true);
    if (flags & 0x10) place.Ratio = bits.U16();
    if (flags & 0x20) place.Name = bits.String();
    if (flags & 0x40) place.ClipDepth = bits.U16();
    if (tagCode != swftag::PlaceObject3) return place;
    // What follows only looks better or matters to scripts: damage here loses only it.
    try {
      if (flags3 & 0x01) SkipFilters(bits);
      if (flags3 & 0x02) place.BlendMode = bits.U8();
      if (flags3 & 0x04) (void)bits.U8();  // bitmap caching
      if (flags3 & 0x20) place.Visible = bits.U8() != 0;
    } catch (const ESwfError&) {
    }
    return place;
  } catch (const ESwfError&) {
    return std::nullopt;
  }
}

std::optional<uint16_t> ReadRemoveDepth(uint16_t tagCode, std::span<const uint8_t> body) {
  const size_t at = tagCode == swftag::RemoveObject ? 2 : 0;
  if (body.size() < at + 2) return std::nullopt;
  return uint16_t(body[at] | body[at + 1] << 8);
}

}  // namespace kestrava
