#pragma once

// The movie's event sounds: each DefineSound decoded on its first StartSound and kept, every
// start played as an SDL2_mixer chunk on a free channel, as its SOUNDINFO says.

#include <SDL_mixer.h>

#include <cstdint>
#include <map>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "movie/SwfMovie.h"
#include "movie/sound/MixerConnection.h"
#include "movie/sound/SwfSoundFormat.h"

namespace kestrava {

class TEventSounds {
 public:
  TEventSounds(const TSwfMovie& movie, const TMixerConnection& mixer);
  ~TEventSounds();
  TEventSounds(const TEventSounds&) = delete;
  TEventSounds& operator=(const TEventSounds&) = delete;

  // A StartSound. An id without a DefineSound, a cut SOUNDINFO and a sound we cannot decode
  // start nothing.
  void Start(uint16_t soundId, std::span<const uint8_t> soundInfo);
  void StopAll();
  // Starts still sounding.
  int Playing();

 private:
  struct TDecodedSound {
    std::vector<uint8_t> Audio;  // in the mixer's format; empty when it cannot be played
    // Chunks over Audio (they do not own it), by first and end frame.
    std::map<std::pair<size_t, size_t>, Mix_Chunk*> Views;
  };
  struct TInstance {
    int Channel = -1;
    uint16_t SoundId = 0;
    Mix_Chunk* Chunk = nullptr;
  };

  TDecodedSound& Decoded(uint16_t soundId);
  Mix_Chunk* View(TDecodedSound& sound, const TSwfSoundInfo& info);
  void Prune();
  static bool StillPlaying(const TInstance& instance);

  const TSwfMovie& movie_;
  const TMixerConnection& mixer_;
  std::unordered_map<uint16_t, TDecodedSound> sounds_;
  size_t decodedBytes_ = 0;
  std::vector<TInstance> playing_;
};

}  // namespace kestrava
