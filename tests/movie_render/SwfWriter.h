#pragma once

// Hand-made SWF fields and tags for the renderer's tests: a bit writer, shape records and a
// character source that serves the tags.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "movie/SwfMovie.h"
#include "movie/render/CharacterLibrary.h"

namespace kestrava::test {

// Bits most significant first, bytes little-endian, as the format stores them.
class TBitWriter {
 public:
  TBitWriter& UBits(uint32_t value, int count);
  TBitWriter& SBits(int32_t value, int count);
  TBitWriter& Align();
  TBitWriter& U8(uint8_t value);
  TBitWriter& U16(uint16_t value);
  TBitWriter& U32(uint32_t value);
  TBitWriter& Bytes(std::span<const uint8_t> bytes);
  TBitWriter& Rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax);
  // Scale, rotate/skew (only written when not 0) and translation in twips.
  TBitWriter& Matrix(double scaleX, double scaleY, int32_t translateX, int32_t translateY,
                     double skew0 = 0, double skew1 = 0);
  TBitWriter& Rgb(uint8_t r, uint8_t g, uint8_t b);
  TBitWriter& Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a);

  const std::vector<uint8_t>& Data() const { return data_; }
  std::vector<uint8_t> Take() {
    Align();
    return std::move(data_);
  }

 private:
  std::vector<uint8_t> data_;
  int bit_ = 0;  // bits used in data_.back()
};

// The bits a signed value needs.
int SignedBits(int32_t value);

// SHAPE records after the style arrays: the field widths, then style changes and edges.
class TShapeRecords {
 public:
  struct TChange {
    std::optional<std::pair<int32_t, int32_t>> MoveTo = std::nullopt;
    std::optional<int> Fill0 = std::nullopt, Fill1 = std::nullopt, Line = std::nullopt;
    // DefineShape2 and later: style arrays as written by a TBitWriter, and the field widths
    // that hold from then on.
    std::optional<std::vector<uint8_t>> NewStyles = std::nullopt;
    int NewFillBits = 0, NewLineBits = 0;
  };
  TShapeRecords(TBitWriter& out, int fillBits, int lineBits);
  TShapeRecords& Change(const TChange& change);
  TShapeRecords& Line(int32_t dx, int32_t dy);
  TShapeRecords& Curve(int32_t controlDx, int32_t controlDy, int32_t anchorDx, int32_t anchorDy);
  void End();

 private:
  TBitWriter& out_;
  int fillBits_, lineBits_;
};

// A DefineShape1-4 body (version 1..4): bounds 0 .. 2000 twips both ways, the style arrays as
// written, then the records `edges` writes; DefineShape4 gets its flags byte.
std::vector<uint8_t> ShapeBody(uint16_t id, int version, const std::vector<uint8_t>& styles,
                               int fillBits, int lineBits,
                               const std::function<void(TShapeRecords&)>& edges,
                               uint8_t shape4Flags = 0);

// A DefineSprite body with one empty frame: the renderer takes sprites' contents from the
// display list.
std::vector<uint8_t> SpriteBody(uint16_t id);

// zlib's default compression.
std::vector<uint8_t> Deflate(std::span<const uint8_t> data);

// A DefineBitsLossless (format 5, opaque) or DefineBitsLossless2 (format 5, the given alpha,
// premultiplied here) body with pixels given row by row.
std::vector<uint8_t> LosslessBody(uint16_t id, int width, int height,
                                  const std::vector<TSwfRgba>& pixels, bool withAlpha);

// A DefineShape3 body: one solid fill (RGBA), no lines, an axis-aligned rectangle with the
// fill on side 1.
std::vector<uint8_t> RectangleShape(uint16_t id, int32_t x, int32_t y, int32_t width,
                                    int32_t height, TSwfRgba color);

// Characters by id, as a loaded movie would give them.
class TFakeMovie : public render::ICharacterSource {
 public:
  void Add(uint16_t tagCode, std::vector<uint8_t> body);  // the body starts with the id
  void SetJpegTables(std::vector<uint8_t> tables) { tables_ = std::move(tables); }
  void SetVersion(uint8_t version) { version_ = version; }

  const TSwfCharacter* Character(uint16_t id) const override;
  std::span<const uint8_t> JpegTables() const override { return tables_; }
  uint8_t Version() const override { return version_; }

 private:
  struct TStored {
    uint16_t Tag;
    std::vector<uint8_t> Body;
    TSwfCharacter Character;
  };
  std::map<uint16_t, TStored> stored_;
  std::vector<uint8_t> tables_;
  uint8_t version_ = 8;
};

}  // namespace kestrava::test
