#pragma once

// Reading the fields of an SWF movie: little-endian bytes and the big-endian bit fields of
// rectangles, matrices and shape records. Every read is bounds-checked and throws ESwfError
// ("the movie ends inside a field") past the end; nothing is read outside the span.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "movie/SwfErrors.h"

namespace kestrava {

class TSwfBits {
 public:
  TSwfBits() = default;
  explicit TSwfBits(std::span<const uint8_t> bytes);

  // Byte fields start at the next whole byte (they align first).
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  int16_t S16();
  int32_t S32();
  double Fixed8();   // 8.8 signed fixed point
  double Fixed16();  // 16.16 signed fixed point
  float Float();
  uint32_t EncodedU32();
  // Up to the terminating zero, which is consumed; a string without one ends the field.
  std::string String();
  // The next n bytes as a span into the same storage.
  std::span<const uint8_t> Bytes(size_t n);
  // A reader over the next n bytes; this one moves past them.
  TSwfBits Sub(size_t n);
  void Skip(size_t n);

  // Bit fields, most significant bit first.
  uint32_t UBits(int count);
  int32_t SBits(int count);
  double FBits(int count);  // 16.16 fixed point in `count` bits
  bool Flag() { return UBits(1) != 0; }
  void Align();

  size_t Position() const;   // bytes consumed (a partly read byte counts)
  size_t Remaining() const;  // whole bytes left after the current one
  bool AtEnd() const { return Remaining() == 0; }
  std::span<const uint8_t> Rest() const;  // from the next whole byte to the end

 private:
  std::span<const uint8_t> bytes_;
  size_t byte_ = 0;
  int bit_ = 0;  // bits of bytes_[byte_] already used, 0..7
};

}  // namespace kestrava
