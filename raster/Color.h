#pragma once

#include <cstdint>

namespace kestrava {

// A colour as the effects and forms name it: 0x00BBGGRR, red in the low byte.
using TColor = uint32_t;

constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
  return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
constexpr uint8_t RedOf(TColor c) {
  return uint8_t(c);
}
constexpr uint8_t GreenOf(TColor c) {
  return uint8_t(c >> 8);
}
constexpr uint8_t BlueOf(TColor c) {
  return uint8_t(c >> 16);
}

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clWhite = RGBColor(255, 255, 255);

// A pixel as it lies in a 32-bit row read as one little-endian word: 0xXXRRGGBB, so the bytes
// in memory are blue, green, red and the fourth byte. Colour tables use the same form.
using TPixel = uint32_t;

constexpr TPixel ColorToPixel(TColor c) {
  return TPixel(BlueOf(c)) | (TPixel(GreenOf(c)) << 8) | (TPixel(RedOf(c)) << 16);
}
constexpr TColor PixelToColor(TPixel p) {
  return RGBColor(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
}

}  // namespace kestrava
