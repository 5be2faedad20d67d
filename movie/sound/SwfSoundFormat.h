#pragma once

// The sound headers of a movie: DefineSound, StartSound's SOUNDINFO and SoundStreamHead(2).
// Readers throw ESwfError for a header cut short; the sound data itself is left to the decoders.

#include <cstdint>
#include <optional>
#include <span>

namespace kestrava {

enum class TSwfSoundCodec : uint8_t {
  PcmNative = 0,  // uncompressed, in the byte order of the machine that made it
  Adpcm = 1,
  Mp3 = 2,
  PcmLittle = 3,
  Nellymoser16k = 4,
  Nellymoser8k = 5,
  Nellymoser = 6,
  Aac = 10,
  Speex = 11,
};

// The codec, rate, size and channel byte shared by all three headers.
struct TSwfSoundFormat {
  TSwfSoundCodec Codec = TSwfSoundCodec::PcmLittle;
  uint8_t RateCode = 0;  // 0..3: 5512.5, 11025, 22050, 44100 Hz
  bool Is16Bit = true;
  bool Stereo = false;

  double Rate() const { return 5512.5 * (1 << RateCode); }
  int Channels() const { return Stereo ? 2 : 1; }
};

TSwfSoundFormat ReadSoundFormat(uint8_t bits);

struct TSwfDefineSound {
  uint16_t Id = 0;
  TSwfSoundFormat Format;
  uint32_t SampleCount = 0;  // per channel, as stated; not trusted for allocation
  std::span<const uint8_t> Data;
};

TSwfDefineSound ReadDefineSound(std::span<const uint8_t> body);

// How one StartSound plays its sound. Points are in 44.1 kHz samples whatever the sound's rate.
struct TSwfSoundInfo {
  bool SyncStop = false;        // stop the sound's instances instead of starting one
  bool SyncNoMultiple = false;  // start only when the sound is not already playing
  std::optional<uint32_t> InPoint;
  std::optional<uint32_t> OutPoint;
  uint16_t LoopCount = 1;  // plays in all; 0 is taken for 1
  // The volume envelope is read past but not applied.
};

TSwfSoundInfo ReadSoundInfo(std::span<const uint8_t> soundInfo);

struct TSwfStreamHead {
  TSwfSoundFormat Format;        // the stream's, not the advisory playback format
  uint16_t SamplesPerBlock = 0;  // average per frame
  int16_t LatencySeek = 0;       // MP3 only
};

TSwfStreamHead ReadStreamHead(std::span<const uint8_t> body);

}  // namespace kestrava
