#pragma once

// The ADPCM of SWF sounds and streams: a 2-bit code size (2 to 5 bits a sample), then packets of
// 4096 samples a channel, each opening with its own 16-bit sample and 6-bit step index per
// channel; the channels' codes alternate sample by sample.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kestrava {

// Interleaved 16-bit samples, at most maxFrames per channel. Data ending inside a packet ends the
// sound there (the last packet of every sound is short); nothing is read past the span and the
// result never outgrows what the data can hold.
std::vector<int16_t> DecodeSwfAdpcm(std::span<const uint8_t> data, bool stereo, size_t maxFrames);

}  // namespace kestrava
