#pragma once

// Turns the SoundStreamBlocks of one timeline into audio in the mixer's format, block by block,
// as the timeline reaches them.
//
// MP3 frames lean on the frames before them (the bit reservoir, the overlap of the filter bank),
// and SDL2_mixer decodes only whole files. So each block is decoded behind the last frames of the
// blocks before it, and only the part that is this block's own is kept.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "movie/sound/MixerConnection.h"
#include "movie/sound/PcmToMixer.h"
#include "movie/sound/SwfSoundFormat.h"

namespace kestrava {

class TStreamDecoder {
 public:
  TStreamDecoder(const TSwfStreamHead& head, const TMixerConnection& mixer);

  const TSwfStreamHead& Head() const { return head_; }
  // One block's body. Empty for codecs we do not play (Nellymoser, Speex...) and for blocks that
  // hold no whole sample.
  std::vector<uint8_t> Decode(std::span<const uint8_t> block);

 private:
  std::vector<uint8_t> DecodeMp3(std::span<const uint8_t> block);

  TSwfStreamHead head_;
  const TMixerConnection& mixer_;
  std::unique_ptr<TPcmToMixer> toMixer_;  // uncompressed and ADPCM streams
  std::vector<uint8_t> mp3Context_;       // the last frames decoded, whole
  int mp3ContextRate_ = 0;
};

}  // namespace kestrava
