#pragma once

// Plays a movie's timelines: the root and every sprite instance advance one frame at a time,
// the display list follows PlaceObject and RemoveObject, frame actions (stop, play, gotos) run,
// and sound requests are collected for the sound part.

#include <memory>
#include <string>
#include <vector>

#include "movie/DisplayList.h"
#include "movie/SoundEvents.h"
#include "movie/SwfMovie.h"

namespace kestrava {

class TMovieTimelineState;

class TMovieTimeline {
 public:
  // Shows the first frame (its actions run).
  explicit TMovieTimeline(std::shared_ptr<const TSwfMovie> movie);
  ~TMovieTimeline();
  TMovieTimeline(TMovieTimeline&&) noexcept;
  TMovieTimeline& operator=(TMovieTimeline&&) noexcept;

  const TSwfMovie& Movie() const { return *movie_; }
  // One frame on: the root (unless stopped) and every playing sprite.
  void Advance();
  // 0-based frame of the root timeline on show.
  int CurrentFrame() const;
  // The root timeline is stopped (by an action, or a one-frame movie...).
  bool Stopped() const;
  // The root timeline has shown its last frame at least once.
  bool ReachedEnd() const;
  // Some sprite instance still plays a timeline of more than one frame: a movie whose root has
  // one frame (or is stopped) may animate all the same.
  bool SpritesPlaying() const;

  TDisplayFrame Frame() const;
  std::vector<TSoundEvent> TakeSoundEvents();
  // What trace() printed, for the timeline tests; empty unless the movie traces.
  std::vector<std::string> TakeTrace();

 private:
  std::shared_ptr<const TSwfMovie> movie_;
  std::unique_ptr<TMovieTimelineState> state_;
};

}  // namespace kestrava
