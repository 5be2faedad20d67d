#pragma once

// The uncompressed sound of SWF movies: 8-bit samples are unsigned, 16-bit ones signed, and the
// channels alternate sample by sample.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kestrava {

// Interleaved 16-bit samples, at most maxFrames per channel; a frame cut short at the end of
// the data is left out. The "native" byte order of the oldest movies is read as little-endian:
// the machines their authoring tool ran on were.
std::vector<int16_t> DecodeSwfPcm(std::span<const uint8_t> data, bool is16Bit, bool stereo,
                                  size_t maxFrames);

}  // namespace kestrava
