#include "movie/sound/MovieSound.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "movie/SwfTagCodes.h"
#include "tests/movie_sound/Mp3TestData.h"
#include "tests/movie_sound/SoundTestSupport.h"

namespace kestrava {
namespace {

using test::TBytes;
using TKind = TSoundEvent::TKind;

enum : uint16_t {
  kTone = 1,          // 8-bit PCM at 5512.5 Hz
  kEndlessAdpcm = 2,  // states four billion samples over a few bytes
  kNellymoser = 3,
  kMp3Junk = 4,
  kNotASound = 5,
  kSpeex = 6,
  kNoSuchId = 99,
};

TBytes ToneData() {
  TBytes data;
  for (int i = 0; i < 200; ++i)
    data.push_back(uint8_t(128 + std::lround(100 * std::sin(i * 0.3))));
  return data;
}

std::shared_ptr<const TSwfMovie> MovieWithSounds() {
  using test::DefineSoundTag;
  using test::FormatByte;
  TBytes adpcm(64, 0x5A);
  adpcm[0] = 0x80;
  return test::MovieOf({
      DefineSoundTag(kTone, FormatByte(TSwfSoundCodec::PcmLittle, 0, false, false), 200,
                     ToneData()),
      DefineSoundTag(kEndlessAdpcm, FormatByte(TSwfSoundCodec::Adpcm, 1, true, false), 0xFFFFFFFF,
                     adpcm),
      DefineSoundTag(kNellymoser, FormatByte(TSwfSoundCodec::Nellymoser, 1, true, false), 500,
                     TBytes(300, 0x33)),
      DefineSoundTag(kMp3Junk, FormatByte(TSwfSoundCodec::Mp3, 3, true, false), 1152,
                     {0, 0, 0xFF, 0xFB, 0x90, 0x44, 0x12}),
      test::Tag(swftag::DefineBinaryData, {kNotASound, 0, 0, 0, 0, 0, 1, 2, 3}),
      DefineSoundTag(kSpeex, FormatByte(TSwfSoundCodec::Speex, 1, true, false), 500,
                     TBytes(300, 0x33)),
  });
}

// SOUNDINFO: flags, then the fields they announce.
const TBytes kForever = {0x04, 0xFF, 0xFF};
const TBytes kForeverAlone = {0x14, 0xFF, 0xFF};  // SyncNoMultiple
const TBytes kStop = {0x20};
const TBytes kCutInfo = {0x02, 0x01};  // an out point of one byte

TSoundEvent Start(uint16_t id, const TBytes& info) {
  return {TKind::Start, id, info, 0};
}
TSoundEvent StopAll() {
  return {TKind::StopAll, 0, {}, 0};
}

class MovieSound : public testing::Test {
 protected:
  void SetUp() override {
    if (!sound_.HasOutput()) GTEST_SKIP() << "no mixer";
  }
  std::shared_ptr<const TSwfMovie> movie_ = MovieWithSounds();
  TMovieSound sound_{movie_};
};

// Each step's events, then how many starts are still sounding. The sounds loop for hours, so
// none ends by itself while the test runs.
TEST_F(MovieSound, EventSoundsFollowTheirSoundInfo) {
  struct Step {
    const char* name;
    std::vector<TSoundEvent> events;
    int playing;
  };
  const Step steps[] = {
      {"a start", {Start(kTone, kForever)}, 1},
      {"the same sound again plays beside it", {Start(kTone, kForever)}, 2},
      {"no multiple: not while it plays", {Start(kTone, kForeverAlone)}, 2},
      {"an absurd sample count plays what the data holds", {Start(kEndlessAdpcm, kForever)}, 3},
      {"stop ends every start of that sound only", {Start(kTone, kStop)}, 1},
      {"no multiple: starts when it does not play", {Start(kTone, kForeverAlone)}, 2},
      {"what cannot be played starts nothing",
       {Start(kNellymoser, kForever), Start(kSpeex, kForever), Start(kMp3Junk, kForever),
        Start(kNotASound, kForever), Start(kNoSuchId, kForever), Start(kTone, kCutInfo)},
       2},
      {"stop all", {StopAll()}, 0},
      {"and it plays again", {Start(kEndlessAdpcm, kForever)}, 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    sound_.Handle(step.events);
    EXPECT_EQ(sound_.PlayingEventSounds(), step.playing);
  }
  sound_.StopAll();
  EXPECT_EQ(sound_.PlayingEventSounds(), 0);
}

TEST_F(MovieSound, ManyStartsAreCappedNotRefusedWithAnError) {
  const std::vector<TSoundEvent> starts(100, Start(kTone, kForever));
  sound_.Handle(starts);
  EXPECT_EQ(sound_.PlayingEventSounds(), 32);
}

TEST_F(MovieSound, PlaysTheMp3EventSoundThroughTheMixer) {
  const test::TRuffleMp3 mp3;
  TMovieSound sound(mp3.MoviePointer());
  const TBytes hundredTimes = {0x04, 100, 0};
  sound.Handle({Start(1, hundredTimes)});
  EXPECT_EQ(sound.PlayingEventSounds(), 1);
}

TEST_F(MovieSound, StreamsPlayPerTimelineUntilStoppedAndPlayedOut) {
  // 16-bit mono PCM at 44.1 kHz, 1838 samples a block; and ADPCM at 11025 Hz.
  const TBytes pcmHead = {0x06, 0x3E, 0x2E, 0x07};
  const TBytes adpcmHead = {0x06, 0x16, 0x00, 0x02};
  const TBytes cutHead = {0x06};
  const TBytes pcmBlock(2 * 1838, 0x10);
  TBytes adpcmBlock(300, 0x77);
  adpcmBlock[0] = 0x80;
  struct Step {
    const char* name;
    std::vector<TSoundEvent> events;
    int streams;
  };
  const Step steps[] = {
      {"a block without a head", {{TKind::StreamBlock, 0, pcmBlock, 7}}, 0},
      {"a head alone takes no channel", {{TKind::StreamHead, 0, pcmHead, 1}}, 0},
      {"its first block does", {{TKind::StreamBlock, 0, pcmBlock, 1}}, 1},
      {"a sprite's stream plays beside it",
       {{TKind::StreamHead, 0, adpcmHead, 2},
        {TKind::StreamBlock, 0, adpcmBlock, 2},
        {TKind::StreamBlock, 0, pcmBlock, 1}},
       2},
      {"a cut head changes nothing",
       {{TKind::StreamHead, 0, cutHead, 1}, {TKind::StreamBlock, 0, pcmBlock, 1}},
       2},
      {"the head met again as the timeline loops",
       {{TKind::StreamHead, 0, pcmHead, 1}, {TKind::StreamBlock, 0, pcmBlock, 1}},
       2},
      // Nothing is left queued, and streams not fed in a call give back their channels once
      // they have played out.
      {"stop all drops what is queued", {StopAll()}, 0},
      {"the next block plays again", {{TKind::StreamBlock, 0, adpcmBlock, 2}}, 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    sound_.Handle(step.events);
    EXPECT_EQ(sound_.PlayingStreams(), step.streams);
  }
}

TEST(MovieSoundWithoutDevice, PlaysSilentWithoutFailing) {
  test::TScopedEnvironment driver("SDL_AUDIODRIVER", "kestrava-no-such-driver");
  TMovieSound sound(MovieWithSounds());
  EXPECT_FALSE(sound.HasOutput());
  const TBytes pcmHead = {0x06, 0x3E, 0x2E, 0x07};
  const TBytes block(100, 0);
  sound.Handle({Start(kTone, kForever),
                Start(kEndlessAdpcm, kForever),
                {TKind::StreamHead, 0, pcmHead, 1},
                {TKind::StreamBlock, 0, block, 1},
                StopAll(),
                Start(kTone, kForever)});
  EXPECT_EQ(sound.PlayingEventSounds(), 0);
  EXPECT_EQ(sound.PlayingStreams(), 0);
}

TEST(MovieSoundWithoutMovie, IsRefused) {
  EXPECT_THROW(TMovieSound(nullptr), std::invalid_argument);
}

}  // namespace
}  // namespace kestrava
