#pragma once

// The tag codes the reader and the timeline act on. Codes not named here are kept as characters
// (when they define one) or skipped.

#include <cstdint>

namespace kestrava::swftag {

enum : uint16_t {
  End = 0,
  ShowFrame = 1,
  DefineShape = 2,
  PlaceObject = 4,
  RemoveObject = 5,
  DefineBits = 6,
  DefineButton = 7,
  JpegTables = 8,
  SetBackgroundColor = 9,
  DefineFont = 10,
  DefineText = 11,
  DoAction = 12,
  DefineSound = 14,
  StartSound = 15,
  SoundStreamHead = 18,
  SoundStreamBlock = 19,
  DefineBitsLossless = 20,
  DefineBitsJpeg2 = 21,
  DefineShape2 = 22,
  PlaceObject2 = 26,
  RemoveObject2 = 28,
  DefineShape3 = 32,
  DefineText2 = 33,
  DefineButton2 = 34,
  DefineBitsJpeg3 = 35,
  DefineBitsLossless2 = 36,
  DefineEditText = 37,
  DefineSprite = 39,
  FrameLabel = 43,
  SoundStreamHead2 = 45,
  DefineMorphShape = 46,
  DefineFont2 = 48,
  DoInitAction = 59,
  DefineVideoStream = 60,
  PlaceObject3 = 70,
  DefineFont3 = 75,
  DefineShape4 = 83,
  DefineMorphShape2 = 84,
  DefineBinaryData = 87,
  DefineBitsJpeg4 = 90,
  DefineFont4 = 91,
};

// Tags whose body starts with the id of the character they define.
constexpr bool DefinesCharacter(uint16_t code) {
  switch (code) {
    case DefineShape:
    case DefineBits:
    case DefineButton:
    case DefineFont:
    case DefineText:
    case DefineSound:
    case DefineBitsLossless:
    case DefineBitsJpeg2:
    case DefineShape2:
    case DefineShape3:
    case DefineText2:
    case DefineButton2:
    case DefineBitsJpeg3:
    case DefineBitsLossless2:
    case DefineEditText:
    case DefineSprite:
    case DefineMorphShape:
    case DefineFont2:
    case DefineVideoStream:
    case DefineFont3:
    case DefineShape4:
    case DefineMorphShape2:
    case DefineBinaryData:
    case DefineBitsJpeg4:
    case DefineFont4:
      return true;
    default:
      return false;
  }
}

// A move naming another character swaps it in only between static graphics of one family:
// shapes, morph shapes or static texts. Sprites, buttons and edit texts keep their character,
// and nothing becomes one of them by a swap. 0 for characters that are never swapped.
constexpr int SwapFamily(uint16_t code) {
  switch (code) {
    case DefineShape:
    case DefineShape2:
    case DefineShape3:
    case DefineShape4:
      return 1;
    case DefineMorphShape:
    case DefineMorphShape2:
      return 2;
    case DefineText:
    case DefineText2:
      return 3;
    default:
      return 0;
  }
}

// Tags a timeline acts on frame by frame; everything else in a sprite is skipped.
constexpr bool IsControlTag(uint16_t code) {
  switch (code) {
    case PlaceObject:
    case PlaceObject2:
    case PlaceObject3:
    case RemoveObject:
    case RemoveObject2:
    case DoAction:
    case DoInitAction:
    case StartSound:
    case SoundStreamHead:
    case SoundStreamHead2:
    case SoundStreamBlock:
      return true;
    default:
      return false;
  }
}

}  // namespace kestrava::swftag
