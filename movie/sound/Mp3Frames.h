#pragma once

// Finds the MPEG audio layer III frames of an MP3 sound or stream block by their headers, so that
// only whole frames reach the decoder and their sample counts are known before decoding.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kestrava {

struct TMp3Frame {
  uint32_t Header = 0;
  size_t Offset = 0;  // in the scanned span
  size_t Size = 0;    // header included
  int Samples = 0;    // per channel; 0 for the Xing/Info frame, which holds no sound
  int Rate = 0;
  int Channels = 0;
  size_t MainDataBytes = 0;  // what the frame adds to the decoder's bit reservoir
};

// The run of whole frames from the first frame header that is followed by another (or by the end
// of the data), up to the first break: junk, a frame cut short, or a change of version or rate.
std::vector<TMp3Frame> ScanMp3Frames(std::span<const uint8_t> data);

// Whether the 4 bytes at `data` open a layer III frame that SDL2_mixer takes for MP3.
bool IsMp3FrameStart(std::span<const uint8_t> data);

// A frame of the same version, rate and channels that decodes to silence: no CRC, the lowest
// bit rate, and side information all zero (no reservoir, no spectral values).
std::vector<uint8_t> SilentMp3FrameLike(const TMp3Frame& frame);

}  // namespace kestrava
