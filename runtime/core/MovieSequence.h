#pragma once

// The Flash kind of saver: the stored movies one after another in stored order, each played at
// its own frame rate and scaled to fit the output, from its first frame until its last frame has
// shown; then the next, round and round. A movie of a few frames stays at least kMinimumShow; a
// movie that never reaches its last frame (it loops by its own actions, or stops early), or whose
// sprites go on animating after it, moves on after kLongestShow. A movie that cannot be read shows why on a card for kMinimumShow.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "movie/SoundEvents.h"
#include "movie/play/MoviePlayer.h"
#include "raster/Bitmap.h"
#include "saver/SaverFileReader.h"

namespace kestrava {

class TMovieSequence {
 public:
  static constexpr uint64_t kMinimumShowMs = 5000;
  static constexpr uint64_t kLongestShowMs = 60000;

  // Throws ESaverFileError when the saver holds no movie.
  TMovieSequence(const TSaverFileReader& saver, int width, int height);

  // Moves the movies on to the time (milliseconds from any start, only going forward); true when
  // the frame changed.
  bool Update(uint64_t nowMs);
  const TBitmap& Frame() const { return frame_; }

  // Counts the movies started: a change tells the sound to start over with Player().
  uint64_t Serial() const { return serial_; }
  // The movie on show; null while a card explains an unreadable one.
  const TMoviePlayer* Player() const { return player_.get(); }
  // What the movie on show asked of the sound since the last call.
  std::vector<TSoundEvent> TakeSoundEvents();

 private:
  void Start(size_t index, uint64_t nowMs);
  bool Finished(uint64_t nowMs) const;

  const TSaverFileReader& saver_;
  std::vector<TSaverBlock> movies_;
  int width_, height_;
  size_t index_ = 0;
  uint64_t startMs_ = 0;
  std::optional<uint64_t> endSeenMs_;  // when the movie's last frame first showed
  uint64_t serial_ = 0;
  bool started_ = false;
  std::unique_ptr<TMoviePlayer> player_;
  TBitmap frame_;
};

}  // namespace kestrava
