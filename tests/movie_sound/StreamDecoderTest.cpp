#include "movie/sound/StreamDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "movie/SwfMovieData.h"
#include "movie/SwfTagCodes.h"
#include "movie/sound/MixerConnection.h"
#include "movie/sound/Mp3Frames.h"
#include "movie/sound/SwfAdpcm.h"
#include "tests/movie_sound/Mp3TestData.h"
#include "tests/movie_sound/SoundTestSupport.h"

namespace kestrava {
namespace {

using test::TBytes;

// SampleCount and SeekSamples, then the frames.
TBytes Mp3Block(std::span<const uint8_t> frames, uint16_t samples) {
  TBytes block(4 + frames.size());
  block[0] = uint8_t(samples);
  block[1] = uint8_t(samples >> 8);
  std::copy(frames.begin(), frames.end(), block.begin() + 4);
  return block;
}

TSwfStreamHead HeadOf(TSwfSoundCodec codec, int rateCode, bool is16Bit, bool stereo) {
  TSwfStreamHead head;
  head.Format = ReadSoundFormat(test::FormatByte(codec, rateCode, is16Bit, stereo));
  return head;
}

class StreamDecoder : public testing::Test {
 protected:
  void SetUp() override {
    if (!mixer_.IsOpen()) GTEST_SKIP() << "no mixer: " << mixer_.Problem();
    ASSERT_EQ(mixer_.OutputFormat().Frequency, 44100);
  }
  size_t Frames(const std::vector<uint8_t>& audio) const {
    return audio.size() / size_t(mixer_.OutputFormat().FrameBytes());
  }
  TMixerConnection mixer_;
};

// Blocks of one to five frames, the first a single one, decoded as they come, give the sound of
// all the frames decoded in one piece: no block starts without its bit reservoir or filter
// history. (The decoder's arithmetic may round a sample differently by one; a block decoded
// without what came before is off by thousands.)
TEST_F(StreamDecoder, Mp3BlocksJoinIntoTheSoundOfTheWholeStream) {
  const test::TRuffleMp3 mp3;
  const std::span<const uint8_t> audio = mp3.AudioFrames();
  const std::vector<uint8_t> whole = mixer_.DecodeMp3(audio);
  const std::vector<TMp3Frame> frames = ScanMp3Frames(audio);
  ASSERT_EQ(Frames(whole), frames.size() * 1152);

  TStreamDecoder decoder(HeadOf(TSwfSoundCodec::Mp3, 3, true, false), mixer_);
  std::vector<uint8_t> joined;
  const size_t blockSizes[] = {1, 3, 1, 2, 5, 2, 3, 1, 4};
  size_t next = 0;
  for (size_t b = 0; next < frames.size(); ++b) {
    const size_t count = std::min(blockSizes[b % std::size(blockSizes)], frames.size() - next);
    const size_t from = frames[next].Offset;
    const size_t to = frames[next + count - 1].Offset + frames[next + count - 1].Size;
    const std::vector<uint8_t> part =
        decoder.Decode(Mp3Block(audio.subspan(from, to - from), uint16_t(count * 1152)));
    EXPECT_EQ(Frames(part), count * 1152) << "block " << b;
    joined.insert(joined.end(), part.begin(), part.end());
    next += count;
  }
  ASSERT_EQ(joined.size(), whole.size());
  const auto* ours = reinterpret_cast<const int16_t*>(joined.data());
  const auto* theirs = reinterpret_cast<const int16_t*>(whole.data());
  int largestDifference = 0;
  for (size_t i = 0; i < joined.size() / 2; ++i)
    largestDifference = std::max(largestDifference, std::abs(ours[i] - theirs[i]));
  EXPECT_LE(largestDifference, 1);
}

TEST_F(StreamDecoder, Mp3BlocksAtAnotherRateKeepTheirLength) {
  TStreamDecoder decoder(HeadOf(TSwfSoundCodec::Mp3, 2, true, false), mixer_);
  for (int frames : {2, 1, 3}) {
    SCOPED_TRACE(frames);
    const std::vector<uint8_t> part =
        decoder.Decode(Mp3Block(test::SilentMpeg2Frames(frames), uint16_t(frames * 576)));
    EXPECT_EQ(Frames(part), size_t(frames) * 1152);
  }
}

TEST_F(StreamDecoder, AdpcmAndPcmBlocksDecodeOnTheirOwn) {
  const auto movie = TSwfMovie::LoadFile(test::SwfdecSoundDir() / "adpcm-3.swf");
  const TSwfDefineSound sound = ReadDefineSound(movie->Character(1)->Body);
  const size_t blockFrames = DecodeSwfAdpcm(sound.Data, false, SIZE_MAX).size();
  TStreamDecoder adpcm(HeadOf(TSwfSoundCodec::Adpcm, 1, true, false), mixer_);
  for (int block = 0; block < 2; ++block)
    EXPECT_EQ(Frames(adpcm.Decode(sound.Data)), blockFrames * 4) << "block " << block;

  TStreamDecoder pcm(HeadOf(TSwfSoundCodec::PcmLittle, 3, true, true), mixer_);
  EXPECT_EQ(Frames(pcm.Decode(TBytes(4 * 100, 0x11))), 100u);
}

// A ruffle test's sprite streams 16-bit PCM for 72 frames; its test expects at least three
// quarters of full scale in each of the first 70.
TEST_F(StreamDecoder, PcmStreamBlocksKeepTheirLevel) {
  const auto movie =
      TSwfMovie::LoadFile(test::CorpusFile("ruffle/audio/stream_incomplete_loop/test.swf"));
  ASSERT_EQ(movie->Data().Sprites.size(), 1u);
  const TSwfTimelineData& sprite = movie->Data().Sprites.begin()->second;
  std::unique_ptr<TStreamDecoder> decoder;
  std::vector<double> peaks;
  for (const TSwfTag& tag : sprite.Tags) {
    if (tag.Code == swftag::SoundStreamHead || tag.Code == swftag::SoundStreamHead2)
      decoder = std::make_unique<TStreamDecoder>(ReadStreamHead(tag.Body), mixer_);
    if (tag.Code != swftag::SoundStreamBlock || !decoder) continue;
    const std::vector<uint8_t> audio = decoder->Decode(tag.Body);
    EXPECT_EQ(Frames(audio), tag.Body.size() / 2) << "one 44.1 kHz mono sample, two bytes";
    int peak = 0;
    for (size_t i = 0; i + 1 < audio.size(); i += 2)
      peak = std::max(peak, std::abs(int(int16_t(audio[i] | audio[i + 1] << 8))));
    peaks.push_back(peak / 32768.0);
  }
  ASSERT_GE(peaks.size(), 70u);
  for (size_t frame = 0; frame < 70; ++frame)
    EXPECT_GE(peaks[frame], 0.75) << "frame " << frame + 1;
}

TEST_F(StreamDecoder, BlocksWithoutAWholeSampleOrOfUnplayedCodecsGiveNothing) {
  struct Case {
    const char* name;
    TSwfStreamHead head;
    TBytes block;
  };
  const Case cases[] = {
      {"half a 16-bit sample", HeadOf(TSwfSoundCodec::PcmLittle, 1, true, true), {0x00}},
      {"an ADPCM header cut short", HeadOf(TSwfSoundCodec::Adpcm, 1, true, false), {0x80, 0x01}},
      {"an MP3 block without frames",
       HeadOf(TSwfSoundCodec::Mp3, 3, true, false),
       {0x40, 0x02, 0x00, 0x00, 0xFF, 0xFB, 0x00}},
      {"an MP3 block without its counts", HeadOf(TSwfSoundCodec::Mp3, 3, true, false), {0x40}},
      {"Nellymoser", HeadOf(TSwfSoundCodec::Nellymoser, 1, true, false), TBytes(256, 0x5A)},
      {"Speex", HeadOf(TSwfSoundCodec::Speex, 1, true, false), TBytes(256, 0x5A)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TStreamDecoder decoder(c.head, mixer_);
    EXPECT_TRUE(decoder.Decode(c.block).empty());
  }
}

}  // namespace
}  // namespace kestrava
