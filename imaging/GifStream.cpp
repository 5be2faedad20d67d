#include "imaging/GifStream.h"

#include <cstring>

#include "imaging/GifErrors.h"

namespace kestrava {

size_t TGifStream::Read(void* buffer, size_t count) {
  const std::span<const uint8_t> part = Take(count);
  if (!part.empty()) std::memcpy(buffer, part.data(), part.size());
  return part.size();
}

std::span<const uint8_t> TGifStream::Take(size_t count) {
  const size_t n = count < Remaining() ? count : Remaining();
  const std::span<const uint8_t> part = bytes_.subspan(position_, n);
  position_ += n;
  return part;
}

void TGifReader::ReadExact(void* buffer, size_t count) {
  if (Stream.Read(buffer, count) != count) throw EGifError("Premature end of data");
}

uint8_t TGifReader::ReadExactByte() {
  uint8_t b = 0;
  ReadExact(&b, 1);
  return b;
}

}  // namespace kestrava
