#include "SwfWriter.h"

#include <zlib.h>

#include <cmath>
#include <cstdlib>

#include "movie/SwfTagCodes.h"

namespace kestrava::test {

TBitWriter& TBitWriter::UBits(uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    if (bit_ == 0) data_.push_back(0);
    if (value >> i & 1) data_.back() |= uint8_t(0x80 >> bit_);
    bit_ = (bit_ + 1) % 8;
  }
  return *this;
}

TBitWriter& TBitWriter::SBits(int32_t value, int count) {
  return UBits(uint32_t(value) & (count >= 32 ? 0xFFFFFFFFu : (1u << count) - 1), count);
}

TBitWriter& TBitWriter::Align() {
  bit_ = 0;
  return *this;
}

TBitWriter& TBitWriter::U8(uint8_t value) {
  Align();
  data_.push_back(value);
  return *this;
}

TBitWriter& TBitWriter::U16(uint16_t value) {
  return U8(uint8_t(value)).U8(uint8_t(value >> 8));
}

TBitWriter& TBitWriter::U32(uint32_t value) {
  return U16(uint16_t(value)).U16(uint16_t(value >> 16));
}

TBitWriter& TBitWriter::Bytes(std::span<const uint8_t> bytes) {
  Align();
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  return *this;
}

int SignedBits(int32_t value) {
  int bits = 1;
  while (value < -(int64_t{1} << (bits - 1)) || value >= (int64_t{1} << (bits - 1)))
    ++bits;
  return bits;
}

TBitWriter& TBitWriter::Rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax) {
  Align();
  int bits = 1;
  for (int32_t v : {xMin, xMax, yMin, yMax})
    bits = std::max(bits, SignedBits(v));
  UBits(uint32_t(bits), 5);
  for (int32_t v : {xMin, xMax, yMin, yMax})
    SBits(v, bits);
  return Align();
}

TBitWriter& TBitWriter::Matrix(double scaleX, double scaleY, int32_t translateX, int32_t translateY,
                               double skew0, double skew1) {
  Align();
  auto fixed = [](double v) { return int32_t(std::lround(v * 65536)); };
  const bool scale = scaleX != 1 || scaleY != 1;
  UBits(scale, 1);
  if (scale) {
    const int bits = std::max(SignedBits(fixed(scaleX)), SignedBits(fixed(scaleY)));
    UBits(uint32_t(bits), 5).SBits(fixed(scaleX), bits).SBits(fixed(scaleY), bits);
  }
  const bool rotate = skew0 != 0 || skew1 != 0;
  UBits(rotate, 1);
  if (rotate) {
    const int bits = std::max(SignedBits(fixed(skew0)), SignedBits(fixed(skew1)));
    UBits(uint32_t(bits), 5).SBits(fixed(skew0), bits).SBits(fixed(skew1), bits);
  }
  const int bits = std::max(SignedBits(translateX), SignedBits(translateY));
  UBits(uint32_t(bits), 5).SBits(translateX, bits).SBits(translateY, bits);
  return Align();
}

TBitWriter& TBitWriter::Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return U8(r).U8(g).U8(b);
}

TBitWriter& TBitWriter::Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return U8(r).U8(g).U8(b).U8(a);
}

TShapeRecords::TShapeRecords(TBitWriter& out, int fillBits, int lineBits)
    : out_(out), fillBits_(fillBits), lineBits_(lineBits) {
  out_.Align();
  out_.UBits(uint32_t(fillBits), 4).UBits(uint32_t(lineBits), 4);
}

TShapeRecords& TShapeRecords::Change(const TChange& change) {
  out_.UBits(0, 1);
  out_.UBits(change.NewStyles.has_value(), 1);
  out_.UBits(change.Line.has_value(), 1);
  out_.UBits(change.Fill1.has_value(), 1);
  out_.UBits(change.Fill0.has_value(), 1);
  out_.UBits(change.MoveTo.has_value(), 1);
  if (change.MoveTo) {
    const auto [x, y] = *change.MoveTo;
    const int bits = std::max(SignedBits(x), SignedBits(y));
    out_.UBits(uint32_t(bits), 5).SBits(x, bits).SBits(y, bits);
  }
  if (change.Fill0) out_.UBits(uint32_t(*change.Fill0), fillBits_);
  if (change.Fill1) out_.UBits(uint32_t(*change.Fill1), fillBits_);
  if (change.Line) out_.UBits(uint32_t(*change.Line), lineBits_);
  if (change.NewStyles) {
    out_.Bytes(*change.NewStyles);
    fillBits_ = change.NewFillBits;
    lineBits_ = change.NewLineBits;
    out_.UBits(uint32_t(fillBits_), 4).UBits(uint32_t(lineBits_), 4);
  }
  return *this;
}

TShapeRecords& TShapeRecords::Line(int32_t dx, int32_t dy) {
  const int bits = std::max({SignedBits(dx), SignedBits(dy), 2});
  out_.UBits(1, 1).UBits(1, 1).UBits(uint32_t(bits - 2), 4);
  out_.UBits(1, 1);  // general line
  out_.SBits(dx, bits).SBits(dy, bits);
  return *this;
}

TShapeRecords& TShapeRecords::Curve(int32_t controlDx, int32_t controlDy, int32_t anchorDx,
                                    int32_t anchorDy) {
  const int bits = std::max({SignedBits(controlDx), SignedBits(controlDy), SignedBits(anchorDx),
                             SignedBits(anchorDy), 2});
  out_.UBits(1, 1).UBits(0, 1).UBits(uint32_t(bits - 2), 4);
  out_.SBits(controlDx, bits).SBits(controlDy, bits).SBits(anchorDx, bits).SBits(anchorDy, bits);
  return *this;
}

void TShapeRecords::End() {
  out_.UBits(0, 6);
  out_.Align();
}

std::vector<uint8_t> RectangleShape(uint16_t id, int32_t x, int32_t y, int32_t width,
                                    int32_t height, TSwfRgba color) {
  TBitWriter w;
  w.U16(id).Rect(x, x + width, y, y + height);
  w.U8(1).U8(0x00).Rgba(color.R, color.G, color.B, color.A);
  w.U8(0);
  TShapeRecords(w, 1, 0)
      .Change({.MoveTo = std::pair{x, y}, .Fill1 = 1})
      .Line(width, 0)
      .Line(0, height)
      .Line(-width, 0)
      .Line(0, -height)
      .End();
  return w.Take();
}

std::vector<uint8_t> ShapeBody(uint16_t id, int version, const std::vector<uint8_t>& styles,
                               int fillBits, int lineBits,
                               const std::function<void(TShapeRecords&)>& edges,
                               uint8_t shape4Flags) {
  TBitWriter w;
  w.U16(id).Rect(0, 2000, 0, 2000);
  if (version == 4) w.Rect(0, 2000, 0, 2000).U8(shape4Flags);
  w.Bytes(styles);
  TShapeRecords records(w, fillBits, lineBits);
  edges(records);
  records.End();
  return w.Take();
}

std::vector<uint8_t> SpriteBody(uint16_t id) {
  TBitWriter w;
  w.U16(id).U16(1);
  w.U16(uint16_t(swftag::ShowFrame << 6)).U16(0);
  return w.Take();
}

std::vector<uint8_t> Deflate(std::span<const uint8_t> data) {
  uLongf size = compressBound(uLong(data.size()));
  std::vector<uint8_t> out(size);
  compress(out.data(), &size, data.data(), uLong(data.size()));
  out.resize(size);
  return out;
}

std::vector<uint8_t> LosslessBody(uint16_t id, int width, int height,
                                  const std::vector<TSwfRgba>& pixels, bool withAlpha) {
  std::vector<uint8_t> raw;
  for (const TSwfRgba& p : pixels) {
    const int a = withAlpha ? p.A : 255;
    auto pre = [a](int c) { return uint8_t(c * a / 255); };
    raw.insert(raw.end(), {uint8_t(withAlpha ? a : 0xFF), pre(p.R), pre(p.G), pre(p.B)});
  }
  TBitWriter w;
  w.U16(id).U8(5).U16(uint16_t(width)).U16(uint16_t(height)).Bytes(Deflate(raw));
  return w.Take();
}

void TFakeMovie::Add(uint16_t tagCode, std::vector<uint8_t> body) {
  const uint16_t id = body.size() >= 2 ? uint16_t(body[0] | body[1] << 8) : 0;
  TStored& stored = stored_[id];
  stored.Tag = tagCode;
  stored.Body = std::move(body);
  stored.Character = TSwfCharacter{id, tagCode, stored.Body};
}

const TSwfCharacter* TFakeMovie::Character(uint16_t id) const {
  const auto found = stored_.find(id);
  return found == stored_.end() ? nullptr : &found->second.Character;
}

}  // namespace kestrava::test
