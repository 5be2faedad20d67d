#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>

namespace kestrava {

// A read position over bytes in memory, the source every GIF structure loads from. Reading past
// the end yields fewer bytes, never an error: the structures decide what a short read means.
class TGifStream {
 public:
  TGifStream() = default;
  explicit TGifStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t Size() const { return bytes_.size(); }
  size_t Position() const { return position_; }
  // A position past the end is taken as the end.
  void Seek(size_t position) { position_ = position < bytes_.size() ? position : bytes_.size(); }
  size_t Remaining() const { return bytes_.size() - position_; }

  // Copies up to count bytes; returns how many there were.
  size_t Read(void* buffer, size_t count);
  // The next byte, or -1 at the end.
  int ReadByte() { return position_ < bytes_.size() ? bytes_[position_++] : -1; }
  int PeekByte() const { return position_ < bytes_.size() ? bytes_[position_] : -1; }
  void StepBack() {
    if (position_ > 0) --position_;
  }
  void Skip(size_t count) { position_ += count < Remaining() ? count : Remaining(); }
  // Up to count bytes in place, stepped over.
  std::span<const uint8_t> Take(size_t count);

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

// The stream of one load and where its warnings go.
class TGifReader {
 public:
  TGifReader(TGifStream& stream, std::function<void(const std::string&)> warning)
      : Stream(stream), warning_(std::move(warning)) {}

  void Warning(const std::string& message) const {
    if (warning_) warning_(message);
  }
  // Exactly count bytes, or EGifError "Premature end of data".
  void ReadExact(void* buffer, size_t count);
  uint8_t ReadExactByte();

  TGifStream& Stream;

 private:
  std::function<void(const std::string&)> warning_;
};

inline uint16_t GifWord(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}

}  // namespace kestrava
