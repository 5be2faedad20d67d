#include "movie/sound/Mp3Frames.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "movie/sound/SwfSoundFormat.h"
#include "tests/movie_sound/Mp3TestData.h"
#include "tests/movie_sound/SoundTestSupport.h"

namespace kestrava {
namespace {

using test::TBytes;

TEST(Mp3Frames, FindsEveryFrameOfAnEventSound) {
  const test::TRuffleMp3 mp3;
  const std::vector<TMp3Frame> frames = ScanMp3Frames(mp3.Frames());
  ASSERT_EQ(frames.size(), 41u);
  // The encoder's Info frame comes first and holds no sound.
  EXPECT_EQ(frames[0].Samples, 0);
  size_t samples = 0;
  size_t end = 0;
  for (const TMp3Frame& frame : frames) {
    EXPECT_EQ(frame.Offset, end) << "frames follow each other";
    EXPECT_EQ(frame.Rate, 44100);
    EXPECT_EQ(frame.Channels, 1);
    samples += size_t(frame.Samples);
    end = frame.Offset + frame.Size;
  }
  EXPECT_EQ(end, mp3.Frames().size());
  // The stated count includes the Info frame's place.
  EXPECT_EQ(samples + 1152, mp3.Sound().SampleCount);
}

TEST(Mp3Frames, TakesOnlyWholeFramesOfOneKind) {
  const TBytes silent = test::SilentMpeg2Frames(3);
  TBytes junkFirst = {0xFF, 0xF3, 0x40, 0x00, 0x12};  // a false sync: no frame follows it
  junkFirst.insert(junkFirst.end(), silent.begin(), silent.end());
  TBytes cutLast = silent;
  cutLast.resize(cutLast.size() - 1);
  TBytes mixedRates = silent;
  const TBytes mpeg1 = test::RuffleFirstAudioFrame();
  mixedRates.insert(mixedRates.end(), mpeg1.begin(), mpeg1.end());
  TBytes trailingJunk = silent;
  trailingJunk.insert(trailingJunk.end(), {0x00, 0x11, 0x22});

  struct Case {
    const char* name;
    TBytes data;
    size_t frames;
    size_t firstOffset;
  };
  const Case cases[] = {
      {"three frames", silent, 3, 0},
      {"junk before", junkFirst, 3, 5},
      {"the last frame cut", cutLast, 2, 0},
      {"a change of version and rate ends the run", mixedRates, 3, 0},
      {"junk after", trailingJunk, 3, 0},
      {"nothing", {}, 0, 0},
      {"all sync bits", TBytes(500, 0xFF), 0, 0},
      {"a header alone", {0xFF, 0xF3, 0x40, 0xC0}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<TMp3Frame> frames = ScanMp3Frames(c.data);
    ASSERT_EQ(frames.size(), c.frames);
    if (frames.empty()) continue;
    EXPECT_EQ(frames[0].Offset, c.firstOffset);
    EXPECT_EQ(frames[0].Samples, 576);
    EXPECT_EQ(frames[0].Rate, 22050);
    EXPECT_EQ(frames[0].Size, 104u);
  }
}

}  // namespace
}  // namespace kestrava
