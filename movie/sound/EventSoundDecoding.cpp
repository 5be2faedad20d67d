#include "movie/sound/EventSoundDecoding.h"

#include <algorithm>

#include "movie/sound/Mp3Decoding.h"
#include "movie/sound/Mp3Frames.h"
#include "movie/sound/PcmToMixer.h"
#include "movie/sound/SwfAdpcm.h"
#include "movie/sound/SwfPcm.h"

namespace kestrava {

namespace {

std::vector<uint8_t> DecodeMp3Sound(std::span<const uint8_t> data, const TMixerConnection& mixer) {
  // SeekSamples (the encoder's delay) comes first. It is not applied: SDL2_mixer's decoder drops
  // the delay itself where the frames state it, and elsewhere it lasts a few milliseconds.
  if (data.size() < 2) return {};
  data = data.subspan(2);
  std::vector<TMp3Frame> frames = ScanMp3Frames(data);
  double seconds = 0;
  for (size_t i = 0; i < frames.size(); ++i) {
    if (seconds >= kLongestEventSoundSeconds) {
      frames.resize(i);
      break;
    }
    seconds += double(frames[i].Samples) / frames[i].Rate;
  }
  return DecodeMp3Frames(mixer, data, frames, 0);
}

}  // namespace

std::vector<uint8_t> DecodeEventSound(const TSwfDefineSound& sound, const TMixerConnection& mixer) {
  std::vector<uint8_t> audio;
  if (!mixer.IsOpen()) return audio;
  const TSwfSoundFormat& format = sound.Format;
  const size_t most =
      std::min<size_t>(sound.SampleCount, size_t(kLongestEventSoundSeconds * format.Rate()));
  std::vector<int16_t> samples;
  switch (format.Codec) {
    case TSwfSoundCodec::PcmNative:
    case TSwfSoundCodec::PcmLittle:
      samples = DecodeSwfPcm(sound.Data, format.Is16Bit, format.Stereo, most);
      break;
    case TSwfSoundCodec::Adpcm:
      samples = DecodeSwfAdpcm(sound.Data, format.Stereo, most);
      break;
    case TSwfSoundCodec::Mp3:
      return DecodeMp3Sound(sound.Data, mixer);
    default:
      return audio;
  }
  TPcmToMixer toMixer(format.Channels(), format.Rate(), mixer.OutputFormat());
  toMixer.Add(samples, audio);
  toMixer.Finish(audio);
  return audio;
}

}  // namespace kestrava
