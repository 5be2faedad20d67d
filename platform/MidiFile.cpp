#include "platform/MidiFile.h"

#include <cstdint>

namespace kestrava {

namespace {

uint32_t Big(std::string_view b, size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i)
    value = (value << 8) | static_cast<uint8_t>(b[at + i]);
  return value;
}

uint32_t Little32(std::string_view b, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<uint8_t>(b[at + i]);
  return value;
}

}  // namespace

bool IsStandardMidiFile(std::string_view bytes) {
  // RIFF "RMID": the tune is the "data" chunk at offset 12.
  if (bytes.size() >= 20 && bytes.substr(0, 4) == "RIFF" && bytes.substr(8, 4) == "RMID" &&
      bytes.substr(12, 4) == "data") {
    const uint64_t size = Little32(bytes, 16);
    if (size > bytes.size() - 20) return false;
    bytes = bytes.substr(20, size);
  }
  if (bytes.size() < 14 || bytes.substr(0, 4) != "MThd") return false;
  const uint64_t headerLength = Big(bytes, 4, 4);
  if (headerLength < 6 || headerLength > bytes.size() - 8) return false;
  if (Big(bytes, 10, 2) == 0) return false;  // no tracks
  const uint64_t track = 8 + headerLength;
  if (bytes.size() - track < 8 || bytes.substr(track, 4) != "MTrk") return false;
  return Big(bytes, track + 4, 4) <= bytes.size() - track - 8;
}

}  // namespace kestrava
