#include "movie/sound/SwfPcm.h"

#include <algorithm>

namespace kestrava {

std::vector<int16_t> DecodeSwfPcm(std::span<const uint8_t> data, bool is16Bit, bool stereo,
                                  size_t maxFrames) {
  const size_t channels = stereo ? 2 : 1;
  const size_t sampleBytes = is16Bit ? 2 : 1;
  const size_t frames = std::min(maxFrames, data.size() / (sampleBytes * channels));
  std::vector<int16_t> out(frames * channels);
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] =
        is16Bit ? int16_t(data[2 * i] | data[2 * i + 1] << 8) : int16_t((int(data[i]) - 128) * 256);
  }
  return out;
}

}  // namespace kestrava
