#include "movie/sound/SwfSoundFormat.h"

#include "movie/SwfBits.h"

namespace kestrava {

TSwfSoundFormat ReadSoundFormat(uint8_t bits) {
  TSwfSoundFormat format;
  format.Codec = TSwfSoundCodec(bits >> 4);
  format.RateCode = uint8_t((bits >> 2) & 3);
  format.Is16Bit = (bits & 2) != 0;
  format.Stereo = (bits & 1) != 0;
  return format;
}

TSwfDefineSound ReadDefineSound(std::span<const uint8_t> body) {
  TSwfBits bits(body);
  TSwfDefineSound sound;
  sound.Id = bits.U16();
  sound.Format = ReadSoundFormat(bits.U8());
  sound.SampleCount = bits.U32();
  sound.Data = bits.Rest();
  return sound;
}

TSwfSoundInfo ReadSoundInfo(std::span<const uint8_t> soundInfo) {
  TSwfBits bits(soundInfo);
  const uint8_t flags = bits.U8();
  TSwfSoundInfo info;
  info.SyncStop = (flags & 0x20) != 0;
  info.SyncNoMultiple = (flags & 0x10) != 0;
  if (flags & 0x01) info.InPoint = bits.U32();
  if (flags & 0x02) info.OutPoint = bits.U32();
  if (flags & 0x04) info.LoopCount = bits.U16();
  if (info.LoopCount == 0) info.LoopCount = 1;
  return info;
}

TSwfStreamHead ReadStreamHead(std::span<const uint8_t> body) {
  TSwfBits bits(body);
  bits.U8();  // the playback format, advice to the player only
  TSwfStreamHead head;
  head.Format = ReadSoundFormat(bits.U8());
  head.SamplesPerBlock = bits.U16();
  // Some writers leave the latency out; it only matters when seeking.
  if (head.Format.Codec == TSwfSoundCodec::Mp3 && bits.Remaining() >= 2)
    head.LatencySeek = bits.S16();
  return head;
}

}  // namespace kestrava
