#pragma once

// The saver's music through MCI: each stored block written to a temporary file of its own and
// played by the device for its kind, one after another, round and round. MCI plays only files.

#include <cstddef>
#include <string>
#include <vector>

#include "runtime/core/MusicBlocks.h"

namespace kestrava {

class TMciMusic {
 public:
  explicit TMciMusic(std::vector<TMusicBlock> blocks);
  ~TMciMusic();
  TMciMusic(const TMciMusic&) = delete;
  TMciMusic& operator=(const TMciMusic&) = delete;

  // Starts the next block when the last one has ended; call it now and then.
  void Poll();

 private:
  void PlayNext();
  // Closes the device and removes the block's temporary files.
  void Stop();

  std::vector<TMusicBlock> blocks_;
  size_t next_ = 0;
  int failuresInARow_ = 0;
  bool gaveUp_ = false;
  bool open_ = false;
  bool sawPlaying_ = false;  // the block on the device has been seen playing
  std::wstring reserved_;    // the unique name GetTempFileName made, kept until the block ends
  std::wstring file_;        // that name with the kind's ending, which MCI plays
};

}  // namespace kestrava
