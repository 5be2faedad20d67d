#include "movie/sound/PcmToMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kestrava {

namespace {

// SDL takes lengths as int; large sounds are fed in slices.
constexpr size_t kSliceFrames = 1 << 16;
// SDL 2.26's stream keeps its resampler's look-ahead (some 512 frames) back even when flushed;
// this much silence after the sound pushes the sound's own end out.
constexpr size_t kFlushPaddingFrames = 2048;

}  // namespace

TPcmToMixer::TPcmToMixer(int channels, double rate, const TMixerFormat& mixer)
    : channels_(channels), mixer_(mixer) {
  const double ratio = mixer.Frequency / rate;
  const bool evenMultiple = ratio >= 1 && ratio == std::floor(ratio);
  if (evenMultiple) repeat_ = int(ratio);
  direct_ =
      evenMultiple && mixer.Format == AUDIO_S16SYS && (mixer.Channels == 1 || mixer.Channels == 2);
  if (direct_) return;
  fromRate_ = evenMultiple ? mixer.Frequency : int(std::lround(rate));
  // A format SDL cannot convert leaves stream_ empty: the sound stays silent.
  stream_ = SDL_NewAudioStream(AUDIO_S16SYS, Uint8(channels), fromRate_, mixer.Format,
                               Uint8(mixer.Channels), mixer.Frequency);
}

TPcmToMixer::~TPcmToMixer() {
  if (stream_) SDL_FreeAudioStream(stream_);
}

void TPcmToMixer::AddDirect(std::span<const int16_t> samples, std::vector<uint8_t>& out) const {
  const size_t frames = samples.size() / size_t(channels_);
  const size_t start = out.size();
  out.resize(start + frames * size_t(repeat_) * size_t(mixer_.FrameBytes()));
  int16_t* to = reinterpret_cast<int16_t*>(out.data() + start);
  for (size_t f = 0; f < frames; ++f) {
    const int16_t* from = samples.data() + f * size_t(channels_);
    int16_t frame[2];
    if (channels_ == mixer_.Channels) {
      frame[0] = from[0];
      frame[1] = channels_ == 2 ? from[1] : 0;
    } else if (channels_ == 1) {
      frame[0] = frame[1] = from[0];
    } else {
      frame[0] = int16_t((from[0] + from[1]) / 2);
    }
    for (int r = 0; r < repeat_; ++r) {
      std::memcpy(to, frame, sizeof(int16_t) * size_t(mixer_.Channels));
      to += mixer_.Channels;
    }
  }
}

void TPcmToMixer::Add(std::span<const int16_t> samples, std::vector<uint8_t>& out) {
  samples = samples.first(samples.size() - samples.size() % size_t(channels_));
  if (direct_) {
    AddDirect(samples, out);
    return;
  }
  if (!stream_) return;
  std::vector<int16_t> repeated;
  for (size_t at = 0; at < samples.size();) {
    const size_t count = std::min(samples.size() - at, kSliceFrames * size_t(channels_));
    std::span<const int16_t> slice = samples.subspan(at, count);
    if (repeat_ > 1) {
      repeated.clear();
      for (size_t f = 0; f < slice.size(); f += size_t(channels_))
        for (int r = 0; r < repeat_; ++r)
          repeated.insert(repeated.end(), slice.begin() + ptrdiff_t(f),
                          slice.begin() + ptrdiff_t(f) + channels_);
      slice = repeated;
    }
    if (SDL_AudioStreamPut(stream_, slice.data(), int(slice.size_bytes())) != 0) return;
    fedFrames_ += slice.size() / size_t(channels_);
    Drain(out);
    at += count;
  }
}

void TPcmToMixer::Finish(std::vector<uint8_t>& out) {
  if (!stream_) return;
  const std::vector<int16_t> padding(kFlushPaddingFrames * size_t(channels_), 0);
  SDL_AudioStreamPut(stream_, padding.data(), int(padding.size() * sizeof(int16_t)));
  SDL_AudioStreamFlush(stream_);
  const size_t start = out.size();
  const size_t madeBefore = madeFrames_;
  Drain(out);
  // Keep what the sound itself makes at the mixer's rate, not the padding's share.
  const size_t expected =
      size_t(uint64_t(fedFrames_) * uint64_t(mixer_.Frequency) / uint64_t(fromRate_));
  const size_t keep = expected > madeBefore ? expected - madeBefore : 0;
  out.resize(std::min(out.size(), start + keep * size_t(mixer_.FrameBytes())));
  SDL_AudioStreamClear(stream_);
  fedFrames_ = madeFrames_ = 0;
}

void TPcmToMixer::Drain(std::vector<uint8_t>& out) {
  const int frameBytes = mixer_.FrameBytes();
  for (int available = SDL_AudioStreamAvailable(stream_); available >= frameBytes;
       available = SDL_AudioStreamAvailable(stream_)) {
    const int take = available - available % frameBytes;
    const size_t start = out.size();
    out.resize(start + size_t(take));
    const int got = SDL_AudioStreamGet(stream_, out.data() + start, take);
    out.resize(start + size_t(std::max(got, 0)));
    if (got <= 0) return;
    madeFrames_ += size_t(got) / size_t(frameBytes);
  }
}

}  // namespace kestrava
