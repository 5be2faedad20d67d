#pragma once

// The saver's music: the stored blocks played from memory one after another, round and round.

#include <SDL_mixer.h>

#include <cstdint>
#include <vector>

#include "runtime/core/MusicBlocks.h"

namespace kestrava {

class TSdlMusic {
 public:
  explicit TSdlMusic(std::vector<TMusicBlock> blocks);
  ~TSdlMusic();
  TSdlMusic(const TSdlMusic&) = delete;
  TSdlMusic& operator=(const TSdlMusic&) = delete;

  // Starts the next block when the last one has ended; call it now and then.
  void Poll();

 private:
  void PlayNext();

  std::vector<TMusicBlock> blocks_;
  bool open_ = false;
  bool gaveUp_ = false;
  size_t next_ = 0;
  int failuresInARow_ = 0;
  Mix_Music* playing_ = nullptr;
};

}  // namespace kestrava
