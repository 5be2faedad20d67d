#include "movie/render/CharacterKind.h"

#include "movie/SwfTagCodes.h"

namespace kestrava::render {

TCharacterKind KindOf(uint16_t tagCode) {
  switch (tagCode) {
    case swftag::DefineShape:
    case swftag::DefineShape2:
    case swftag::DefineShape3:
    case swftag::DefineShape4:
      return TCharacterKind::Shape;
    case swftag::DefineMorphShape:
    case swftag::DefineMorphShape2:
      return TCharacterKind::MorphShape;
    case swftag::DefineBits:
    case swftag::DefineBitsJpeg2:
    case swftag::DefineBitsJpeg3:
    case swftag::DefineBitsJpeg4:
    case swftag::DefineBitsLossless:
    case swftag::DefineBitsLossless2:
      return TCharacterKind::Bitmap;
    case swftag::DefineFont:
    case swftag::DefineFont2:
    case swftag::DefineFont3:
      return TCharacterKind::Font;
    case swftag::DefineText:
    case swftag::DefineText2:
      return TCharacterKind::StaticText;
    case swftag::DefineEditText:
      return TCharacterKind::EditText;
    case swftag::DefineButton:
    case swftag::DefineButton2:
      return TCharacterKind::Button;
    case swftag::DefineSprite:
      return TCharacterKind::Sprite;
    default:
      return TCharacterKind::Other;
  }
}

}  // namespace kestrava::render
