#pragma once

// Brings decoded 16-bit SWF sound to the mixer's rate, sample format and channels.
//
// SWF rates divide 44.1 kHz evenly; at such a mixer rate each sample is simply repeated, which is
// what the reference player's output shows (its captures hold the decoded samples unchanged).
// Other mixer rates, and sample formats other than 16-bit, go through SDL's audio stream, whose
// state carries over from one Add to the next so that a stream's blocks join without clicks.

#include <SDL_audio.h>

#include <cstdint>
#include <span>
#include <vector>

#include "movie/sound/MixerFormat.h"

namespace kestrava {

class TPcmToMixer {
 public:
  TPcmToMixer(int channels, double rate, const TMixerFormat& mixer);
  ~TPcmToMixer();
  TPcmToMixer(const TPcmToMixer&) = delete;
  TPcmToMixer& operator=(const TPcmToMixer&) = delete;

  // Appends what `samples` (interleaved, whole frames) become in the mixer's format.
  void Add(std::span<const int16_t> samples, std::vector<uint8_t>& out);
  // Appends what the resampler still holds; for the end of a sound. The converter starts afresh
  // afterwards.
  void Finish(std::vector<uint8_t>& out);

 private:
  void AddDirect(std::span<const int16_t> samples, std::vector<uint8_t>& out) const;
  void Drain(std::vector<uint8_t>& out);

  int channels_;
  TMixerFormat mixer_;
  int repeat_ = 1;       // each frame given this many times before any SDL conversion
  bool direct_ = false;  // 16-bit mono or stereo at a multiple of the rate: no SDL conversion
  SDL_AudioStream* stream_ = nullptr;
  int fromRate_ = 0;      // what the SDL stream is fed at
  size_t fedFrames_ = 0;  // into the SDL stream, and out of it
  size_t madeFrames_ = 0;
};

}  // namespace kestrava
