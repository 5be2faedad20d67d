#include "movie/sound/StreamChannel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "movie/sound/MixerConnection.h"
#include "tests/movie_sound/Mp3TestData.h"
#include "tests/movie_sound/SoundTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

using namespace std::chrono_literals;

// Far longer than any wait should take: only a device that stalled runs into it.
constexpr auto kStalledDevice = 30s;

class StreamChannel : public testing::Test {
 protected:
  void SetUp() override {
    if (!mixer_.IsOpen()) GTEST_SKIP() << "no mixer: " << mixer_.Problem();
  }
  std::vector<uint8_t> Seconds(double seconds) const {
    const TMixerFormat& output = mixer_.OutputFormat();
    return std::vector<uint8_t>(size_t(seconds * output.Frequency) * size_t(output.FrameBytes()), 1);
  }
  TMixerConnection mixer_;
};

TEST_F(StreamChannel, PlaysWhatIsQueuedOnItsOwnChannel) {
  TStreamChannel stream(mixer_);
  EXPECT_FALSE(stream.HoldsChannel()) << "no channel before the first block";
  stream.Queue(Seconds(0.1));
  stream.Queue(Seconds(0.05));
  EXPECT_TRUE(stream.HoldsChannel());
  ASSERT_TRUE(stream.WaitUntilPlayed(kStalledDevice));
  EXPECT_EQ(stream.QueuedBytes(), 0u);
  EXPECT_TRUE(stream.HoldsChannel()) << "a dry queue keeps the channel for the next block";
  stream.Release();
  EXPECT_FALSE(stream.HoldsChannel());
  stream.Queue(Seconds(0.05));
  EXPECT_TRUE(stream.HoldsChannel()) << "the next block takes a channel again";
}

TEST_F(StreamChannel, KeepsAtMostAFewSecondsQueued) {
  TStreamChannel stream(mixer_);
  const size_t fourSeconds = Seconds(4).size();
  for (int i = 0; i < 12; ++i)
    stream.Queue(Seconds(1));
  EXPECT_LE(stream.QueuedBytes(), fourSeconds);
  EXPECT_GT(stream.QueuedBytes(), Seconds(3).size());
  EXPECT_EQ(stream.QueuedBytes() % size_t(mixer_.OutputFormat().FrameBytes()), 0u);
  stream.Clear();
  EXPECT_EQ(stream.QueuedBytes(), 0u);
}

TEST_F(StreamChannel, NoticesWhenSomeoneElseHaltsItsChannel) {
  TStreamChannel stream(mixer_);
  stream.Queue(Seconds(2));
  ASSERT_TRUE(stream.HoldsChannel());
  Mix_HaltChannel(-1);
  EXPECT_FALSE(stream.HoldsChannel());
  EXPECT_TRUE(stream.WaitUntilPlayed(kStalledDevice)) << "a lost channel ends the wait";
  stream.Clear();
  stream.Queue(Seconds(0.05));
  EXPECT_TRUE(stream.HoldsChannel());
}

// The saver runtime plays its music through the same mixer at the same time.
TEST_F(StreamChannel, LeavesTheMusicPlaying) {
  const test::TBytes silence = test::SilentMpeg2FramesForMusic();
  Mix_Music* music =
      Mix_LoadMUSType_RW(SDL_RWFromConstMem(silence.data(), int(silence.size())), MUS_MP3, 1);
  ASSERT_NE(music, nullptr) << Mix_GetError();
  ASSERT_EQ(Mix_PlayMusic(music, -1), 0);
  {
    TStreamChannel stream(mixer_);
    stream.Queue(Seconds(0.1));
    ASSERT_TRUE(stream.WaitUntilPlayed(kStalledDevice));
    EXPECT_TRUE(Mix_PlayingMusic());
  }
  EXPECT_TRUE(Mix_PlayingMusic());
  Mix_HaltMusic();
  Mix_FreeMusic(music);
}

// Through SDL's disk driver, which writes the device's output to a file: blocks queued one after
// the other come out joined, sample for sample, without a gap.
TEST(StreamChannelOnDevice, JoinsItsBlocksWithoutAGap) {
  test::TScratchFolder folder;
  const auto output = folder / "device.raw";
  std::vector<int16_t> sent;
  {
    test::TScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
    test::TScopedEnvironment file("SDL_DISKAUDIOFILE", output.string());
    TMixerConnection mixer;
    if (!mixer.IsOpen()) GTEST_SKIP() << "SDL has no disk driver";
    ASSERT_EQ(mixer.OutputFormat().Format, AUDIO_S16SYS);
    ASSERT_EQ(mixer.OutputFormat().Channels, 2);
    TStreamChannel stream(mixer);
    // Blocks of uneven lengths (a movie's frames rarely hold a whole number of device buffers),
    // every sample different from its neighbours and none silent.
    for (int block = 0; block < 7; ++block) {
      std::vector<int16_t> samples(2 * size_t(1000 + 337 * block));
      for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(1 + (sent.size() + i) % 30000);
      sent.insert(sent.end(), samples.begin(), samples.end());
      std::vector<uint8_t> bytes(samples.size() * 2);
      std::memcpy(bytes.data(), samples.data(), bytes.size());
      stream.Queue(std::move(bytes));
    }
    ASSERT_TRUE(stream.WaitUntilPlayed(kStalledDevice));
  }  // the device closes, its file complete
  const std::vector<int16_t> device = test::ReadCapture(output);
  const auto onset = std::find_if(device.begin(), device.end(), [](int16_t s) { return s != 0; });
  ASSERT_GE(size_t(device.end() - onset), sent.size());
  EXPECT_TRUE(std::equal(sent.begin(), sent.end(), onset));
  EXPECT_TRUE(
      std::all_of(onset + ptrdiff_t(sent.size()), device.end(), [](int16_t s) { return s == 0; }));
}

}  // namespace
}  // namespace kestrava
