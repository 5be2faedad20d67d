#include "movie/SwfBits.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kestrava {

namespace {

[[noreturn]] void EndsInsideField() {
  throw ESwfError("the movie ends inside a field");
}

}  // namespace

TSwfBits::TSwfBits(std::span<const uint8_t> bytes) : bytes_(bytes) {}

void TSwfBits::Align() {
  if (bit_ != 0) {
    bit_ = 0;
    ++byte_;
  }
}

std::span<const uint8_t> TSwfBits::Bytes(size_t n) {
  Align();
  if (n > bytes_.size() - byte_) EndsInsideField();
  const std::span<const uint8_t> out = bytes_.subspan(byte_, n);
  byte_ += n;
  return out;
}

TSwfBits TSwfBits::Sub(size_t n) {
  return TSwfBits(Bytes(n));
}

void TSwfBits::Skip(size_t n) {
  (void)Bytes(n);
}

uint8_t TSwfBits::U8() {
  return Bytes(1)[0];
}

uint16_t TSwfBits::U16() {
  const auto b = Bytes(2);
  return uint16_t(b[0] | b[1] << 8);
}

uint32_t TSwfBits::U32() {
  const auto b = Bytes(4);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

int16_t TSwfBits::S16() {
  return int16_t(U16());
}

int32_t TSwfBits::S32() {
  return int32_t(U32());
}

double TSwfBits::Fixed8() {
  return S16() / 256.0;
}

double TSwfBits::Fixed16() {
  return S32() / 65536.0;
}

float TSwfBits::Float() {
  return std::bit_cast<float>(U32());
}

uint32_t TSwfBits::EncodedU32() {
  // Seven bits a byte, low first, at most five bytes; the fifth contributes its low four bits.
  uint32_t value = 0;
  for (int i = 0; i < 5; ++i) {
    const uint8_t b = U8();
    value |= uint32_t(b & 0x7F) << (7 * i);
    if ((b & 0x80) == 0) break;
  }
  return value;
}

std::string TSwfBits::String() {
  Align();
  const std::span<const uint8_t> rest = bytes_.subspan(byte_);
  if (rest.empty()) return {};
  const void* zero = std::memchr(rest.data(), 0, rest.size());
  const size_t length =
      zero ? size_t(static_cast<const uint8_t*>(zero) - rest.data()) : rest.size();
  std::string text(reinterpret_cast<const char*>(rest.data()), length);
  byte_ += zero ? length + 1 : length;
  return text;
}

uint32_t TSwfBits::UBits(int count) {
  if (count < 0 || count > 32) throw ESwfError("a bit field is wider than 32 bits");
  // Whole bytes available from the current one: checked once, then read without checks.
  if (size_t(bit_ + count) > (bytes_.size() - byte_) * 8) EndsInsideField();
  uint64_t value = 0;
  int left = count;
  while (left > 0) {
    const int take = std::min(8 - bit_, left);
    const uint32_t bits = (bytes_[byte_] >> (8 - bit_ - take)) & ((1u << take) - 1);
    value = value << take | bits;
    left -= take;
    bit_ += take;
    if (bit_ == 8) {
      bit_ = 0;
      ++byte_;
    }
  }
  return uint32_t(value);
}

int32_t TSwfBits::SBits(int count) {
  if (count == 0) return 0;
  const uint32_t value = UBits(count);
  const uint32_t sign = 1u << (count - 1);
  return int32_t(int64_t(value ^ sign) - int64_t(sign));
}

double TSwfBits::FBits(int count) {
  return SBits(count) / 65536.0;
}

size_t TSwfBits::Position() const {
  return byte_ + (bit_ != 0 ? 1 : 0);
}

size_t TSwfBits::Remaining() const {
  return bytes_.size() - std::min(bytes_.size(), Position());
}

std::span<const uint8_t> TSwfBits::Rest() const {
  return bytes_.subspan(std::min(bytes_.size(), Position()));
}

}  // namespace kestrava
