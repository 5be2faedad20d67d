#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>

namespace kestrava {

// A movie whose header cannot be read; the message says why.
class EMovieInfoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TMovieCompression { None, Zlib, Lzma };

// What the header of an SWF movie says about it. Sizes are in twips (1/20 pixel).
struct TMovieInfo {
  TMovieCompression Compression = TMovieCompression::None;
  uint8_t Version = 0;
  uint32_t FileLength = 0;  // as the header states it, uncompressed
  int32_t XMin = 0, XMax = 0, YMin = 0, YMax = 0;
  uint16_t FrameRate = 0;  // 8.8 fixed point, frames per second
  uint16_t FrameCount = 0;

  int WidthPixels() const { return int((int64_t(XMax) - XMin) / 20); }
  int HeightPixels() const { return int((int64_t(YMax) - YMin) / 20); }
};

// Reads the signature ("FWS", "CWS" zlib, "ZWS" LZMA), version, length, frame rectangle, frame
// rate and frame count. Only as much as these fields need is decompressed.
TMovieInfo ReadMovieInfo(std::span<const uint8_t> bytes);

}  // namespace kestrava
