#include "movie/sound/Mp3Decoding.h"

#include <algorithm>

namespace kestrava {

namespace {

constexpr int kSilentFramesAfter = 2;

size_t AtMixerRate(size_t samples, int rate, int mixerRate) {
  return size_t(uint64_t(samples) * uint64_t(mixerRate) / uint64_t(rate));
}

}  // namespace

std::vector<uint8_t> DecodeMp3Frames(const TMixerConnection& mixer, std::span<const uint8_t> data,
                                     const std::vector<TMp3Frame>& frames, size_t keepFrom) {
  if (frames.empty() || keepFrom >= frames.size() || !mixer.IsOpen()) return {};
  const TMp3Frame& last = frames.back();
  const size_t from = frames.front().Offset;
  std::vector<uint8_t> input(data.begin() + ptrdiff_t(from),
                             data.begin() + ptrdiff_t(last.Offset + last.Size));
  // Behind an encoder's Info frame the decoder cuts the sound to the length the frame states,
  // and frames added after it would switch that off.
  const bool statesItsLength = frames.front().Samples == 0;
  const std::vector<uint8_t> silence = SilentMp3FrameLike(last);
  for (int i = 0; i < kSilentFramesAfter && !statesItsLength; ++i)
    input.insert(input.end(), silence.begin(), silence.end());
  std::vector<uint8_t> decoded = mixer.DecodeMp3(input);

  // Every frame gives its samples, the cold first ones too; an Info frame gives none.
  size_t before = 0, kept = 0;
  for (size_t i = 0; i < frames.size(); ++i)
    (i < keepFrom ? before : kept) += size_t(frames[i].Samples);
  const size_t frameBytes = size_t(mixer.OutputFormat().FrameBytes());
  const int mixerRate = mixer.OutputFormat().Frequency;
  const size_t total = decoded.size() / frameBytes;
  const size_t first = std::min(total, AtMixerRate(before, last.Rate, mixerRate));
  const size_t count = std::min(total - first, AtMixerRate(kept, last.Rate, mixerRate));
  decoded.resize((first + count) * frameBytes);
  decoded.erase(decoded.begin(), decoded.begin() + ptrdiff_t(first * frameBytes));
  return decoded;
}

}  // namespace kestrava
