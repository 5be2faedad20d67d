#include "movie/sound/SwfAdpcm.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "movie/SwfTagCodes.h"
#include "movie/sound/SwfPcm.h"
#include "movie/sound/SwfSoundFormat.h"
#include "tests/movie_sound/SoundTestSupport.h"

namespace kestrava {
namespace {

using test::TBytes;

// The only DefineSound of a test movie.
TSwfDefineSound OnlySound(const TSwfMovie& movie) {
  for (const auto& [id, character] : movie.Data().Characters)
    if (character.TagCode == swftag::DefineSound) return ReadDefineSound(character.Body);
  throw std::runtime_error("no DefineSound");
}

std::vector<int16_t> DecodeAsStored(const TSwfDefineSound& sound) {
  const TSwfSoundFormat& f = sound.Format;
  if (f.Codec == TSwfSoundCodec::Adpcm)
    return DecodeSwfAdpcm(sound.Data, f.Stereo, sound.SampleCount);
  return DecodeSwfPcm(sound.Data, f.Is16Bit, f.Stereo, sound.SampleCount);
}

// The captures are the reference player's 44.1 kHz stereo output cut down to 5512.5 Hz: each
// captured frame is the fifth of a group of eight output frames, and a sound at a lower rate
// reaches 44.1 kHz by repeating each of its samples. Frame i of a capture thus holds the sample
// that output frame 8i + 4 shows, on both channels for a mono sound.
TEST(SwfAdpcm, DecodesTheSwfdecSoundTestsAsTheirCapturesHeardThem) {
  int files = 0;
  int matching = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test::SwfdecSoundDir())) {
    if (entry.path().extension() != ".swf") continue;
    ++files;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    const auto movie = TSwfMovie::LoadFile(entry.path());
    const TSwfDefineSound sound = OnlySound(*movie);
    const std::vector<int16_t> decoded = DecodeAsStored(sound);
    const std::vector<int16_t> capture = test::ReadCapture(entry.path().string() + ".1.0.raw");

    const int channels = sound.Format.Channels();
    const size_t repeat = size_t(44100 / sound.Format.Rate());
    const size_t decodedFrames = decoded.size() / size_t(channels);
    const size_t captureFrames = capture.size() / 2;
    EXPECT_EQ(captureFrames, decodedFrames * repeat / 8) << "the capture covers the whole sound";
    size_t mismatches = 0;
    for (size_t i = 0; i < captureFrames; ++i) {
      const size_t source = (8 * i + 4) / repeat;
      for (int c = 0; c < 2; ++c) {
        const int16_t expected = capture[2 * i + size_t(c)];
        const int16_t ours = source < decodedFrames
                                 ? decoded[source * size_t(channels) + size_t(c % channels)]
                                 : int16_t(0);
        if (ours != expected && mismatches++ < 3)
          ADD_FAILURE() << "frame " << i << " channel " << c << ": " << ours << " for " << expected;
      }
    }
    if (mismatches == 0 && captureFrames == decodedFrames * repeat / 8) ++matching;
  }
  std::cout << matching << " of " << files << " swfdec sound captures match\n";
  EXPECT_EQ(files, 9) << "the corpus holds nine sound tests";
  EXPECT_EQ(matching, files);
}

// Writes fields most significant bit first, as ADPCM data is laid out.
class TBitWriter {
 public:
  void Put(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      if (used_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= uint8_t(0x80 >> (used_ % 8));
      ++used_;
    }
  }
  const TBytes& Bytes() const { return bytes_; }

 private:
  TBytes bytes_;
  size_t used_ = 0;
};

class TBitReader {
 public:
  explicit TBitReader(const TBytes& bytes) : bytes_(bytes) {}
  uint32_t Get(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i, ++used_)
      value = value << 1 | ((bytes_[used_ / 8] >> (7 - used_ % 8)) & 1u);
    return value;
  }

 private:
  const TBytes& bytes_;
  size_t used_ = 0;
};

// Two mono sounds of one packet each, woven into one stereo packet, decode to the two channels:
// both headers first, then the codes alternating left and right.
TEST(SwfAdpcm, StereoPacketsAlternateTheChannelsCodeByCode) {
  const auto leftMovie = TSwfMovie::LoadFile(test::SwfdecSoundDir() / "adpcm-4.swf");
  const auto rightMovie = TSwfMovie::LoadFile(test::SwfdecSoundDir() / "adpcm-4-2.swf");
  const TSwfDefineSound left = OnlySound(*leftMovie);
  const TSwfDefineSound right = OnlySound(*rightMovie);
  const size_t frames = left.SampleCount;
  ASSERT_EQ(right.SampleCount, frames);
  ASSERT_LT(frames, 4096u) << "one packet each";

  const TBytes leftBytes(left.Data.begin(), left.Data.end());
  const TBytes rightBytes(right.Data.begin(), right.Data.end());
  TBitReader l(leftBytes), r(rightBytes);
  const uint32_t codeBits = l.Get(2) + 2;
  ASSERT_EQ(r.Get(2) + 2, codeBits);
  TBitWriter stereo;
  stereo.Put(codeBits - 2, 2);
  stereo.Put(l.Get(22), 22);
  stereo.Put(r.Get(22), 22);
  for (size_t k = 1; k < frames; ++k) {
    stereo.Put(l.Get(int(codeBits)), int(codeBits));
    stereo.Put(r.Get(int(codeBits)), int(codeBits));
  }

  const std::vector<int16_t> leftSamples = DecodeSwfAdpcm(left.Data, false, frames);
  const std::vector<int16_t> rightSamples = DecodeSwfAdpcm(right.Data, false, frames);
  const std::vector<int16_t> both = DecodeSwfAdpcm(stereo.Bytes(), true, frames);
  ASSERT_EQ(both.size(), 2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    ASSERT_EQ(both[2 * i], leftSamples[i]) << "frame " << i;
    ASSERT_EQ(both[2 * i + 1], rightSamples[i]) << "frame " << i;
  }
}

// Each packet restarts from its own sample and index: the frame after 4096 is exactly the second
// packet's initial sample, whatever the first packet's codes did.
TEST(SwfAdpcm, EveryPacketOf4096FramesStartsFromItsOwnSample) {
  for (int codeBits = 2; codeBits <= 5; ++codeBits) {
    SCOPED_TRACE(codeBits);
    TBitWriter data;
    data.Put(uint32_t(codeBits - 2), 2);
    const int16_t initial[3] = {1000, -5000, 32767};
    for (const int16_t sample : initial) {
      data.Put(uint16_t(sample), 16);
      data.Put(40, 6);
      // The largest positive code each time: the sound climbs to the clamp.
      for (int k = 1; k < 4096; ++k)
        data.Put((1u << (codeBits - 1)) - 1, codeBits);
    }
    const std::vector<int16_t> samples =
        DecodeSwfAdpcm(data.Bytes(), false, std::numeric_limits<size_t>::max());
    ASSERT_EQ(samples.size(), 3 * 4096u);
    EXPECT_EQ(samples[0], 1000);
    EXPECT_EQ(samples[4096], -5000);
    EXPECT_EQ(samples[8192], 32767);
    EXPECT_EQ(samples[4095], 32767) << "clamped, not wrapped";
    EXPECT_GT(samples[4097], -5000);
  }
}

TEST(SwfAdpcm, RefusesCutAndAbsurdDataWithoutReadingPastIt) {
  struct Case {
    const char* name;
    TBytes data;
    bool stereo;
    size_t maxFrames;
    size_t frames;  // per channel
  };
  const size_t unbounded = std::numeric_limits<size_t>::max();
  // 4-bit codes: 0b10 then a header of 22 bits.
  const TBytes oneHeader = {0x80, 0x00, 0x00};  // 2 + 22 bits: exactly one header
  TBytes hundred(100, 0x55);
  hundred[0] = 0x80;
  const Case cases[] = {
      {"no data", {}, false, unbounded, 0},
      {"only the code size", {0x80}, false, unbounded, 0},
      {"a header cut short", {0x80, 0x00}, false, unbounded, 0},
      {"exactly one header", oneHeader, false, unbounded, 1},
      {"a stereo packet with one channel's header", oneHeader, true, unbounded, 0},
      // (800 - 2 - 22) / 4 codes after the initial sample.
      {"an absurd count is bounded by the data", hundred, false, unbounded, 1 + 194},
      {"the count cuts the sound", hundred, false, 10, 10},
      {"a count of zero", hundred, false, 0, 0},
      // (800 - 2 - 44) / 8 frames of two codes after the initial pair.
      {"stereo", hundred, true, unbounded, 1 + 94},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<int16_t> samples = DecodeSwfAdpcm(c.data, c.stereo, c.maxFrames);
    EXPECT_EQ(samples.size(), c.frames * (c.stereo ? 2 : 1));
  }
}

}  // namespace
}  // namespace kestrava
