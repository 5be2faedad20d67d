#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/GifStream.h"
#include "raster/Bitmap.h"

namespace kestrava {

// A colour table as the file holds it: 0 to 256 entries of red, green, blue. No entries means
// there is no table.
class TGifColorTable {
 public:
  int Count() const { return int(rgb_.size() / 3); }
  void Clear() { rgb_.clear(); }
  // Reads count entries; a short table is "Premature end of data".
  void LoadFromStream(TGifReader& reader, int count);
  // Entry i as 0x00RRGGBB; i must be below Count().
  TPixel Entry(int i) const;
  // The entries in order, the rest of the 256 black.
  TPalette ToPalette() const;

 private:
  std::vector<uint8_t> rgb_;
};

class TGifGlobalColorTable : public TGifColorTable {};
class TGifLocalColorTable : public TGifColorTable {};

// Bits 0 to 2 of a packed byte give the size of the table that follows: 2^(n+1) entries.
inline int GifColorTableSize(uint8_t packed) {
  return 2 << (packed & 7);
}

// The signature, the logical screen descriptor and the global colour table.
class TGifHeader {
 public:
  static constexpr uint8_t kGlobalColorTable = 0x80;

  std::array<char, 6> Signature{};  // "GIF" and three version characters, as read
  uint16_t ScreenWidth = 0;
  uint16_t ScreenHeight = 0;
  uint8_t Packed = 0;
  uint8_t BackgroundColorIndex = 0;
  uint8_t AspectRatio = 0;
  TGifGlobalColorTable ColorMap;

  std::string Version() const { return std::string(Signature.begin() + 3, Signature.end()); }
  void Clear();
  // start is where the load began: a signature that is not there is looked for 4 bytes on.
  void LoadFromStream(TGifReader& reader, size_t start);
};

// The ";" that ends the file. A file that simply ends is as good.
class TGifTrailer {
 public:
  static constexpr uint8_t kTrailer = 0x3B;
  void LoadFromStream(TGifReader& reader);
};

}  // namespace kestrava
