#pragma once

// The movie's hold on SDL2_mixer. The mixer may already be open (the saver runtime plays its
// music through it): then this joins it in its format, and the mixer stays open until its last
// user closes it. Without an audio device nothing fails; the movie is simply silent.
// The music channel is never touched; movie sounds take ordinary channels.

#include <SDL_mixer.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "movie/sound/MixerFormat.h"

namespace kestrava {

class TMixerConnection {
 public:
  TMixerConnection();
  ~TMixerConnection();
  TMixerConnection(const TMixerConnection&) = delete;
  TMixerConnection& operator=(const TMixerConnection&) = delete;

  bool IsOpen() const { return open_; }
  const TMixerFormat& OutputFormat() const { return output_; }
  // Why there is no sound, when IsOpen() is false.
  const std::string& Problem() const { return problem_; }

  // MP3 frames decoded by SDL2_mixer into the mixer's format; empty when they cannot be. The
  // span must open with a frame header (IsMp3FrameStart): anything else would be handed to
  // SDL2_mixer's other decoders.
  std::vector<uint8_t> DecodeMp3(std::span<const uint8_t> frames) const;

  // Starts the chunk on a free channel, adding channels when all are busy; -1 when none is had.
  int PlayOnFreeChannel(Mix_Chunk* chunk, int loops) const;

 private:
  bool audioInitialised_ = false;
  bool open_ = false;
  TMixerFormat output_;
  std::string problem_;
};

}  // namespace kestrava
