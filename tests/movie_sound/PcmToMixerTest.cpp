#include "movie/sound/PcmToMixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace kestrava {
namespace {

std::vector<int16_t> AsS16(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

std::vector<int16_t> Ramp(size_t count) {
  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i)
    samples[i] = int16_t(int(i * 97) % 60000 - 30000);
  return samples;
}

std::vector<int16_t> Tone(double frequency, double rate, size_t frames, int channels) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      samples.push_back(int16_t(std::lround(16000 * std::sin(2 * M_PI * frequency * i / rate))));
  return samples;
}

const TMixerFormat kS16Stereo44k{44100, AUDIO_S16SYS, 2};

// The SWF rates divide 44.1 kHz: every sample is repeated, on both channels for a mono sound,
// and nothing is held back.
TEST(PcmToMixer, RepeatsSamplesUpToAnEvenMultipleOfTheirRate) {
  for (int rateCode = 0; rateCode < 4; ++rateCode) {
    for (int channels = 1; channels <= 2; ++channels) {
      const double rate = 5512.5 * (1 << rateCode);
      const size_t repeat = size_t(44100 / rate);
      SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " channels");
      const std::vector<int16_t> in = Ramp(301 * size_t(channels));
      TPcmToMixer toMixer(channels, rate, kS16Stereo44k);
      std::vector<uint8_t> bytes;
      toMixer.Add(in, bytes);
      const size_t afterAdd = bytes.size();
      toMixer.Finish(bytes);
      EXPECT_EQ(bytes.size(), afterAdd);
      const std::vector<int16_t> out = AsS16(bytes);
      ASSERT_EQ(out.size(), 301 * repeat * 2);
      for (size_t frame = 0; frame < out.size() / 2; ++frame) {
        const size_t source = frame / repeat;
        ASSERT_EQ(out[2 * frame], in[source * size_t(channels)]) << frame;
        ASSERT_EQ(out[2 * frame + 1], in[source * size_t(channels) + size_t(channels - 1)])
            << frame;
      }
    }
  }
}

TEST(PcmToMixer, MixesStereoDownForAMonoMixer) {
  TPcmToMixer toMixer(2, 44100, TMixerFormat{44100, AUDIO_S16SYS, 1});
  std::vector<uint8_t> bytes;
  toMixer.Add(std::vector<int16_t>{1000, 3000, -32768, -32768, 32767, -32767}, bytes);
  EXPECT_EQ(AsS16(bytes), (std::vector<int16_t>{2000, -32768, 0}));
}

// A device that runs at 48 kHz, or on floats: SDL converts, and a tone keeps its length and level.
TEST(PcmToMixer, ConvertsToOtherRatesAndSampleFormatsThroughSdl) {
  struct Case {
    const char* name;
    TMixerFormat mixer;
    double rate;
  };
  const Case cases[] = {
      {"22050 Hz to 48 kHz", {48000, AUDIO_S16SYS, 2}, 22050},
      {"5512.5 Hz to 48 kHz", {48000, AUDIO_S16SYS, 2}, 5512.5},
      {"11025 Hz to 44.1 kHz floats", {44100, AUDIO_F32SYS, 2}, 11025},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t frames = size_t(c.rate);  // one second
    TPcmToMixer toMixer(1, c.rate, c.mixer);
    std::vector<uint8_t> bytes;
    // In two parts, as a stream's blocks come.
    const std::vector<int16_t> tone = Tone(441, c.rate, frames, 1);
    toMixer.Add(std::span(tone).first(frames / 3), bytes);
    toMixer.Add(std::span(tone).subspan(frames / 3), bytes);
    toMixer.Finish(bytes);
    ASSERT_EQ(bytes.size() % size_t(c.mixer.FrameBytes()), 0u);
    const size_t outFrames = bytes.size() / size_t(c.mixer.FrameBytes());
    EXPECT_NEAR(double(outFrames), c.mixer.Frequency, c.mixer.Frequency * 0.01);

    std::vector<double> left;
    for (size_t f = 0; f < outFrames; ++f) {
      if (c.mixer.Format == AUDIO_F32SYS) {
        float value;
        std::memcpy(&value, bytes.data() + f * 8, 4);
        left.push_back(value * 32768.0);
      } else {
        int16_t value;
        std::memcpy(&value, bytes.data() + f * 4, 2);
        left.push_back(value);
      }
    }
    // The level away from the ends, where the resampler's filter settles.
    const auto middle = std::vector<double>(left.begin() + ptrdiff_t(outFrames / 10),
                                            left.end() - ptrdiff_t(outFrames / 10));
    const double peak = *std::max_element(middle.begin(), middle.end());
    EXPECT_NEAR(peak, 16000, 16000 * 0.03);
    // The tone goes on to the end: what the resampler held back came out, and no padding.
    const double lastPeak = *std::max_element(left.end() - ptrdiff_t(outFrames / 40), left.end());
    EXPECT_GT(lastPeak, 16000 * 0.9);
  }
}

}  // namespace
}  // namespace kestrava
