#include "movie/sound/SwfSoundFormat.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "movie/SwfErrors.h"
#include "tests/movie_sound/SoundTestSupport.h"

namespace kestrava {
namespace {

using test::TBytes;

TEST(SwfSoundFormat, ReadsTheFormatByte) {
  struct Case {
    uint8_t bits;
    TSwfSoundCodec codec;
    double rate;
    bool is16Bit;
    int channels;
  };
  const Case cases[] = {
      {0x16, TSwfSoundCodec::Adpcm, 11025, true, 1},
      {0x2F, TSwfSoundCodec::Mp3, 44100, true, 2},
      {0x30, TSwfSoundCodec::PcmLittle, 5512.5, false, 1},
      {0x09, TSwfSoundCodec::PcmNative, 22050, false, 2},
      {0xB2, TSwfSoundCodec::Speex, 5512.5, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.bits));
    const TSwfSoundFormat format = ReadSoundFormat(c.bits);
    EXPECT_EQ(format.Codec, c.codec);
    EXPECT_EQ(format.Rate(), c.rate);
    EXPECT_EQ(format.Is16Bit, c.is16Bit);
    EXPECT_EQ(format.Channels(), c.channels);
  }
}

TEST(SwfSoundFormat, ReadsDefineSound) {
  const TBytes body = {0x07, 0x00,              // id 7
                       0x16,                    // ADPCM, 11025 Hz, 16 bits, mono
                       0xF4, 0x0C, 0x00, 0x00,  // 3316 samples
                       0xAA, 0xBB};
  const TSwfDefineSound sound = ReadDefineSound(body);
  EXPECT_EQ(sound.Id, 7);
  EXPECT_EQ(sound.Format.Codec, TSwfSoundCodec::Adpcm);
  EXPECT_EQ(sound.SampleCount, 3316u);
  EXPECT_EQ(TBytes(sound.Data.begin(), sound.Data.end()), (TBytes{0xAA, 0xBB}));
}

TEST(SwfSoundFormat, ReadsEveryPartOfSoundInfo) {
  struct Case {
    const char* name;
    TBytes bytes;
    bool syncStop;
    bool noMultiple;
    std::optional<uint32_t> in, out;
    uint16_t loops;
  };
  const Case cases[] = {
      {"nothing set", {0x00}, false, false, {}, {}, 1},
      {"stop", {0x20}, true, false, {}, {}, 1},
      {"no multiple, out point", {0x12, 0xD2, 0x33, 0, 0}, false, true, {}, 13266, 1},
      {"in, out and loops in that order",
       {0x07, 0x10, 0, 0, 0, 0x20, 0, 0, 0, 0x03, 0x00},
       false,
       false,
       16,
       32,
       3},
      {"a loop count of 0 plays once", {0x04, 0x00, 0x00}, false, false, {}, {}, 1},
      // The envelope follows the loops; it is read past.
      {"with an envelope",
       {0x0C, 0x02, 0x00, 0x01, 0, 0, 0, 0, 0, 0x80, 0, 0x80},
       false,
       false,
       {},
       {},
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TSwfSoundInfo info = ReadSoundInfo(c.bytes);
    EXPECT_EQ(info.SyncStop, c.syncStop);
    EXPECT_EQ(info.SyncNoMultiple, c.noMultiple);
    EXPECT_EQ(info.InPoint, c.in);
    EXPECT_EQ(info.OutPoint, c.out);
    EXPECT_EQ(info.LoopCount, c.loops);
  }
}

TEST(SwfSoundFormat, ReadsStreamHeadsWithAndWithoutTheMp3Latency) {
  const TSwfStreamHead mp3 = ReadStreamHead(TBytes{0x0E, 0x2E, 0x40, 0x02, 0xF0, 0xFF});
  EXPECT_EQ(mp3.Format.Codec, TSwfSoundCodec::Mp3);
  EXPECT_EQ(mp3.Format.Rate(), 44100);
  EXPECT_EQ(mp3.SamplesPerBlock, 576);
  EXPECT_EQ(mp3.LatencySeek, -16);
  const TSwfStreamHead mp3WithoutLatency = ReadStreamHead(TBytes{0x0E, 0x2E, 0x40, 0x02});
  EXPECT_EQ(mp3WithoutLatency.LatencySeek, 0);
  const TSwfStreamHead pcm = ReadStreamHead(TBytes{0x06, 0x3E, 0x2E, 0x07});
  EXPECT_EQ(pcm.Format.Codec, TSwfSoundCodec::PcmLittle);
  EXPECT_EQ(pcm.Format.Channels(), 1);
  EXPECT_EQ(pcm.SamplesPerBlock, 1838);
}

TEST(SwfSoundFormat, HeadersCutShortAreRefused) {
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"DefineSound without its count",
       [] {
         ReadDefineSound(TBytes{0x01, 0x00, 0x16, 0xF4});
       }},
      {"SoundInfo without flags", [] { ReadSoundInfo(TBytes{}); }},
      {"SoundInfo without its out point",
       [] {
         ReadSoundInfo(TBytes{0x02, 0xD2, 0x33});
       }},
      {"SoundInfo without its loops",
       [] {
         ReadSoundInfo(TBytes{0x04, 0x01});
       }},
      {"SoundStreamHead without its count",
       [] {
         ReadStreamHead(TBytes{0x06, 0x3E, 0x2E});
       }},
  };
  for (const auto& [name, read] : cases) {
    SCOPED_TRACE(name);
    EXPECT_THROW(read(), ESwfError);
  }
}

}  // namespace
}  // namespace kestrava
