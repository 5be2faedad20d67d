#pragma once

#include <cstdint>

namespace kestrava::render {

// What a defining tag makes, as far as drawing goes.
enum class TCharacterKind : uint8_t {
  Other,  // sounds, videos, binary data: nothing to draw
  Shape,
  MorphShape,
  Bitmap,
  Font,
  StaticText,
  EditText,
  Button,
  Sprite,
};

TCharacterKind KindOf(uint16_t tagCode);

}  // namespace kestrava::render
