#include "movie/sound/StreamDecoder.h"

#include <algorithm>

#include "movie/sound/Mp3Decoding.h"
#include "movie/sound/Mp3Frames.h"
#include "movie/sound/SwfAdpcm.h"
#include "movie/sound/SwfPcm.h"

namespace kestrava {

namespace {

// A block is one frame of the movie: a second of sound is far more than any holds.
constexpr size_t kMostFramesPerBlock = 44100;
// Layer III reaches back at most 511 bytes of main data for the frame before a block's first;
// that frame itself must be in the context too. Twice as much, at least two frames.
constexpr size_t kContextMainData = 1024;
constexpr size_t kLeastContextFrames = 2;
constexpr size_t kMostContextFrames = 64;

}  // namespace

TStreamDecoder::TStreamDecoder(const TSwfStreamHead& head, const TMixerConnection& mixer)
    : head_(head), mixer_(mixer) {
  const TSwfSoundCodec codec = head.Format.Codec;
  const bool pcmOrAdpcm = codec == TSwfSoundCodec::PcmNative ||
                          codec == TSwfSoundCodec::PcmLittle || codec == TSwfSoundCodec::Adpcm;
  if (pcmOrAdpcm && mixer.IsOpen())
    toMixer_ =
        std::make_unique<TPcmToMixer>(head.Format.Channels(), head.Format.Rate(), mixer.OutputFormat());
}

std::vector<uint8_t> TStreamDecoder::Decode(std::span<const uint8_t> block) {
  std::vector<uint8_t> audio;
  if (!mixer_.IsOpen()) return audio;
  const TSwfSoundFormat& format = head_.Format;
  switch (format.Codec) {
    case TSwfSoundCodec::PcmNative:
    case TSwfSoundCodec::PcmLittle:
      toMixer_->Add(DecodeSwfPcm(block, format.Is16Bit, format.Stereo, kMostFramesPerBlock), audio);
      break;
    case TSwfSoundCodec::Adpcm:
      toMixer_->Add(DecodeSwfAdpcm(block, format.Stereo, kMostFramesPerBlock), audio);
      break;
    case TSwfSoundCodec::Mp3:
      audio = DecodeMp3(block);
      break;
    default:
      break;
  }
  return audio;
}

std::vector<uint8_t> TStreamDecoder::DecodeMp3(std::span<const uint8_t> block) {
  // SampleCount and SeekSamples (for seeking into the stream) come before the frames.
  if (block.size() < 4) return {};
  const std::span<const uint8_t> data = block.subspan(4);
  std::vector<TMp3Frame> ownFrames = ScanMp3Frames(data);
  // An encoder's Info frame would have the decoder cut the blocks after it to the length it
  // states for its own file; it holds no sound.
  if (!ownFrames.empty() && ownFrames.front().Samples == 0) ownFrames.erase(ownFrames.begin());
  if (ownFrames.empty()) return {};
  // A change of rate starts afresh: the frames before cannot be decoded with these.
  if (ownFrames.front().Rate != mp3ContextRate_) mp3Context_.clear();
  mp3ContextRate_ = ownFrames.front().Rate;

  std::vector<uint8_t> input = mp3Context_;
  const TMp3Frame& last = ownFrames.back();
  input.insert(input.end(), data.begin() + ptrdiff_t(ownFrames.front().Offset),
               data.begin() + ptrdiff_t(last.Offset + last.Size));
  const std::vector<TMp3Frame> frames = ScanMp3Frames(input);
  if (frames.size() < ownFrames.size()) return {};
  const size_t contextFrames = frames.size() - ownFrames.size();
  std::vector<uint8_t> audio = DecodeMp3Frames(mixer_, input, frames, contextFrames);

  // The last frames of everything decoded are the next block's context.
  size_t keepFrom = frames.size();
  size_t mainData = 0;
  while (keepFrom > 0 && frames.size() - keepFrom < kMostContextFrames &&
         (mainData < kContextMainData || frames.size() - keepFrom < kLeastContextFrames)) {
    --keepFrom;
    mainData += frames[keepFrom].MainDataBytes;
  }
  mp3Context_.assign(input.begin() + ptrdiff_t(frames[keepFrom].Offset), input.end());
  return audio;
}

}  // namespace kestrava
