#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "movie/SwfTagCodes.h"
#include "movie/sound/MovieSound.h"
#include "tests/movie_sound/SoundTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

using namespace std::chrono_literals;

// SDL2_mixer reports a channel that has played out on its audio thread.
struct TChannelEnd {
  std::mutex Mutex;
  std::condition_variable Ended;
  bool Seen = false;
};
TChannelEnd channelEnd;

void OnChannelFinished(int) {
  std::lock_guard lock(channelEnd.Mutex);
  channelEnd.Seen = true;
  channelEnd.Ended.notify_all();
}

// Plays one StartSound the whole way, through the mixer to SDL's disk driver, which writes the
// device's output (44.1 kHz, 16-bit stereo) to a file; returns that output from the sound's first
// frame on. Empty when SDL has no disk driver.
std::vector<int16_t> RecordStart(std::shared_ptr<const TSwfMovie> movie, uint16_t id,
                                 std::span<const uint8_t> soundInfo) {
  test::TScratchFolder folder;
  const auto output = folder / "device.raw";
  {
    test::TScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
    test::TScopedEnvironment file("SDL_DISKAUDIOFILE", output.string());
    TMovieSound sound(std::move(movie));
    if (!sound.HasOutput()) return {};
    channelEnd.Seen = false;
    Mix_ChannelFinished(&OnChannelFinished);
    sound.Handle({{TSoundEvent::TKind::Start, id, soundInfo, 0}});
    EXPECT_EQ(sound.PlayingEventSounds(), 1);
    std::unique_lock lock(channelEnd.Mutex);
    // Only a stalled device runs into this limit; the sounds last a fraction of a second.
    EXPECT_TRUE(channelEnd.Ended.wait_for(lock, 60s, [] { return channelEnd.Seen; }));
    lock.unlock();
    Mix_ChannelFinished(nullptr);
  }  // the device closes, its file complete
  std::vector<int16_t> device = test::ReadCapture(output);
  // The device played silence until the sound began.
  size_t onset = 0;
  while (onset < device.size() && device[onset] == 0)
    ++onset;
  device.erase(device.begin(), device.begin() + ptrdiff_t(onset - onset % 2));
  return device;
}

// Silence from `frame` on.
bool SilentFrom(const std::vector<int16_t>& device, size_t frame) {
  for (size_t i = 2 * frame; i < device.size(); ++i)
    if (device[i] != 0) return false;
  return true;
}

// The ADPCM event sound of a swfdec test comes out as the reference player's capture has it (see
// the decoder's capture test for how a capture's frames map onto 44.1 kHz output).
TEST(MovieSoundDevice, PlaysTheSwfdecAdpcmSoundAsTheReferencePlayerDid) {
  const auto movie = TSwfMovie::LoadFile(test::SwfdecSoundDir() / "adpcm-4.swf");
  const auto startSound = test::RootTag(*movie, swftag::StartSound);
  ASSERT_TRUE(startSound);
  const uint16_t id = uint16_t(startSound->Body[0] | startSound->Body[1] << 8);
  const std::vector<int16_t> device = RecordStart(movie, id, startSound->Body.subspan(2));
  if (device.empty()) GTEST_SKIP() << "SDL has no disk driver";

  const std::vector<int16_t> capture =
      test::ReadCapture(test::SwfdecSoundDir() / "adpcm-4.swf.1.0.raw");
  const size_t captureFrames = capture.size() / 2;
  ASSERT_GT(captureFrames, 0u);
  ASSERT_GE(device.size() / 2, 8 * captureFrames);
  size_t mismatches = 0;
  for (size_t i = 0; i < captureFrames; ++i)
    for (size_t c = 0; c < 2; ++c)
      if (device[2 * (8 * i + 4) + c] != capture[2 * i + c] && mismatches++ < 3)
        ADD_FAILURE() << "capture frame " << i << " channel " << c;
  EXPECT_EQ(mismatches, 0u);
  EXPECT_TRUE(SilentFrom(device, 8 * captureFrames)) << "nothing after the sound's end";
}

// In and out points count 44.1 kHz samples whatever the sound's rate; the loop count plays the
// part between them that many times. (The part is longer than the device's buffer: SDL2_mixer
// does not report the end of a looping chunk that plays out within one buffer.)
TEST(MovieSoundDevice, PlaysFromTheInToTheOutPointAsManyTimesAsTheLoopCountSays) {
  test::TBytes samples;  // 8-bit at 5512.5 Hz: each becomes 8 frames at 44.1 kHz
  for (int i = 0; i < 1000; ++i)
    samples.push_back(uint8_t(129 + i % 117));
  const auto movie = test::MovieOf({test::DefineSoundTag(
      1, test::FormatByte(TSwfSoundCodec::PcmLittle, 0, false, false), 1000, samples)});
  // In at 800, out at 4800, twice.
  const test::TBytes info = {0x07, 0x20, 0x03, 0, 0, 0xC0, 0x12, 0, 0, 2, 0};
  const std::vector<int16_t> device = RecordStart(movie, 1, info);
  if (device.empty()) GTEST_SKIP() << "SDL has no disk driver";

  ASSERT_GE(device.size() / 2, 8000u);
  for (size_t f = 0; f < 8000; ++f) {
    const int16_t expected = int16_t((samples[100 + (f % 4000) / 8] - 128) * 256);
    ASSERT_EQ(device[2 * f], expected) << "frame " << f;
    ASSERT_EQ(device[2 * f + 1], expected) << "frame " << f;
  }
  EXPECT_TRUE(SilentFrom(device, 8000));
}

}  // namespace
}  // namespace kestrava
