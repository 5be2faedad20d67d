#include "movie/sound/Mp3Frames.h"

#include <cstring>
#include <optional>

namespace kestrava {

namespace {

enum TMpegVersion { kMpeg25 = 0, kReserved = 1, kMpeg2 = 2, kMpeg1 = 3 };

// Layer III bit rates in kbit/s by index; index 0 (free format) and 15 are not taken.
constexpr int kBitRatesMpeg1[15] = {0,   32,  40,  48,  56,  64,  80, 96,
                                    112, 128, 160, 192, 224, 256, 320};
constexpr int kBitRatesMpeg2[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr int kRatesMpeg1[3] = {44100, 48000, 32000};

struct THeader {
  int Version = 0;
  TMp3Frame Frame;
};

std::optional<THeader> ReadHeader(std::span<const uint8_t> data, size_t at) {
  if (data.size() - at < 4) return std::nullopt;
  const uint32_t h = uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 |
                     uint32_t(data[at + 2]) << 8 | data[at + 3];
  if ((h >> 21) != 0x7FF) return std::nullopt;
  const int version = int((h >> 19) & 3);
  const int layer = int((h >> 17) & 3);
  const bool crc = ((h >> 16) & 1) == 0;
  const int bitRateIndex = int((h >> 12) & 15);
  const int rateIndex = int((h >> 10) & 3);
  const int padding = int((h >> 9) & 1);
  const bool mono = ((h >> 6) & 3) == 3;
  if (version == kReserved || layer != 1 || bitRateIndex == 0 || bitRateIndex == 15 ||
      rateIndex == 3)
    return std::nullopt;

  const bool mpeg1 = version == kMpeg1;
  const int divisor = version == kMpeg1 ? 1 : version == kMpeg2 ? 2 : 4;
  THeader header;
  header.Version = version;
  TMp3Frame& frame = header.Frame;
  frame.Header = h;
  frame.Offset = at;
  frame.Rate = kRatesMpeg1[rateIndex] / divisor;
  frame.Channels = mono ? 1 : 2;
  frame.Samples = mpeg1 ? 1152 : 576;
  const int bitRate = (mpeg1 ? kBitRatesMpeg1 : kBitRatesMpeg2)[bitRateIndex] * 1000;
  frame.Size = size_t((mpeg1 ? 144 : 72) * bitRate / frame.Rate + padding);
  const size_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  const size_t overhead = 4 + (crc ? 2 : 0) + sideInfo;
  if (frame.Size < overhead) return std::nullopt;
  frame.MainDataBytes = frame.Size - overhead;
  // The encoder's Xing or Info frame describes the others; decoders play nothing for it.
  if (data.size() - at >= overhead + 4) {
    const char* tag = reinterpret_cast<const char*>(data.data() + at + overhead);
    if (std::memcmp(tag, "Xing", 4) == 0 || std::memcmp(tag, "Info", 4) == 0) frame.Samples = 0;
  }
  return header;
}

bool Fits(std::span<const uint8_t> data, const TMp3Frame& frame) {
  return frame.Size <= data.size() - frame.Offset;
}

}  // namespace

bool IsMp3FrameStart(std::span<const uint8_t> data) {
  return ReadHeader(data, 0).has_value();
}

std::vector<uint8_t> SilentMp3FrameLike(const TMp3Frame& frame) {
  // Keeps sync, version, layer, rate and channel mode; sets "no CRC" and bit rate index 1.
  const uint32_t h = (frame.Header & 0xFFFE0CC0u) | 0x00011000u;
  std::vector<uint8_t> bytes = {uint8_t(h >> 24), uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h)};
  const auto header = ReadHeader(bytes, 0);
  bytes.resize(header ? header->Frame.Size : 0, 0);
  return bytes;
}

std::vector<TMp3Frame> ScanMp3Frames(std::span<const uint8_t> data) {
  std::vector<TMp3Frame> frames;
  // A sync pattern inside junk is taken only when another frame, or the end, follows it.
  std::optional<THeader> first;
  for (size_t at = 0; at < data.size() && !first; ++at) {
    const auto header = ReadHeader(data, at);
    if (!header || !Fits(data, header->Frame)) continue;
    const size_t next = at + header->Frame.Size;
    if (next == data.size() || ReadHeader(data, next)) first = header;
  }
  if (!first) return frames;
  frames.push_back(first->Frame);
  size_t at = first->Frame.Offset + first->Frame.Size;
  while (true) {
    const auto header = ReadHeader(data, at);
    if (!header || !Fits(data, header->Frame) || header->Version != first->Version ||
        header->Frame.Rate != first->Frame.Rate)
      break;
    frames.push_back(header->Frame);
    at += header->Frame.Size;
  }
  return frames;
}

}  // namespace kestrava
