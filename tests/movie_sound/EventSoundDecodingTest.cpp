#include "movie/sound/EventSoundDecoding.h"

#include <gtest/gtest.h>

#include <vector>

#include "movie/sound/MixerConnection.h"
#include "tests/movie_sound/Mp3TestData.h"
#include "tests/movie_sound/SoundTestSupport.h"

namespace kestrava {
namespace {

using test::TBytes;

TSwfDefineSound SoundOf(TSwfSoundCodec codec, int rateCode, bool is16Bit, bool stereo,
                        uint32_t count, std::span<const uint8_t> data) {
  TSwfDefineSound sound;
  sound.Format = ReadSoundFormat(test::FormatByte(codec, rateCode, is16Bit, stereo));
  sound.SampleCount = count;
  sound.Data = data;
  return sound;
}

TBytes WithSeekSamples(std::span<const uint8_t> frames) {
  TBytes data(2 + frames.size(), 0);
  std::copy(frames.begin(), frames.end(), data.begin() + 2);
  return data;
}

// How long each sound lasts at the mixer's 44.1 kHz.
TEST(EventSoundDecoding, EverySoundLastsAsLongAsItsSamples) {
  TMixerConnection mixer;
  if (!mixer.IsOpen()) GTEST_SKIP() << "no mixer: " << mixer.Problem();
  ASSERT_EQ(mixer.OutputFormat().Frequency, 44100);

  const test::TRuffleMp3 ruffle;
  const TBytes oneFrame = WithSeekSamples(test::RuffleFirstAudioFrame());
  const TBytes mpeg2 = WithSeekSamples(test::SilentMpeg2Frames(3));
  const TBytes pcm(200, 0x90);
  TBytes adpcm(64, 0x5A);
  adpcm[0] = 0x80;  // 4-bit codes: (512 - 2 - 22) / 4 after the first sample
  const TBytes junk = {0, 0, 0xFF, 0xFB, 0x90, 0x44, 0x12};

  using enum TSwfSoundCodec;
  struct Case {
    const char* name;
    TSwfDefineSound sound;
    size_t frames;
  };
  const Case cases[] = {
      {"8-bit PCM at 5512.5 Hz", SoundOf(PcmLittle, 0, false, false, 200, pcm), 1600},
      {"the count cuts it", SoundOf(PcmNative, 0, false, false, 10, pcm), 80},
      {"an absurd ADPCM count", SoundOf(Adpcm, 1, true, false, 0xFFFFFFFF, adpcm), 123 * 4},
      // The encoder's Info frame says where the sound begins and ends: a second exactly.
      {"MP3 with an Info frame", ruffle.Sound(), 44100},
      {"MP3 of a single frame", SoundOf(Mp3, 3, true, false, 1152, oneFrame), 1152},
      {"MP3 at 22050 Hz", SoundOf(Mp3, 2, true, false, 3 * 576, mpeg2), 3 * 576 * 2},
      {"MP3 without frames", SoundOf(Mp3, 3, true, false, 1152, junk), 0},
      {"Nellymoser", SoundOf(Nellymoser, 1, true, false, 100, pcm), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> audio = DecodeEventSound(c.sound, mixer);
    EXPECT_EQ(audio.size(), c.frames * size_t(mixer.OutputFormat().FrameBytes()));
  }
}

TEST(EventSoundDecoding, WithoutAMixerNothingIsDecoded) {
  test::TScopedEnvironment driver("SDL_AUDIODRIVER", "kestrava-no-such-driver");
  TMixerConnection mixer;
  EXPECT_FALSE(mixer.IsOpen());
  EXPECT_FALSE(mixer.Problem().empty());
  const TBytes pcm(200, 0x90);
  EXPECT_TRUE(DecodeEventSound(SoundOf(TSwfSoundCodec::PcmLittle, 0, false, false, 200, pcm), mixer)
                  .empty());
}

}  // namespace
}  // namespace kestrava
