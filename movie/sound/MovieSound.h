#pragma once

// Plays what a movie's timeline asks of the sound: event sounds (StartSound) and the sound
// streams of its timelines, mixed by SDL2_mixer beside whatever music plays through it.
//
// Without an audio device the movie plays silent; nothing here fails for want of sound.

#include <cstddef>
#include <memory>
#include <vector>

#include "movie/SoundEvents.h"
#include "movie/SwfMovie.h"

namespace kestrava {

class TMovieSoundParts;

class TMovieSound {
 public:
  explicit TMovieSound(std::shared_ptr<const TSwfMovie> movie);
  ~TMovieSound();
  TMovieSound(const TMovieSound&) = delete;
  TMovieSound& operator=(const TMovieSound&) = delete;

  // What one frame advance asked for, in order. Best called after every advance, even with none:
  // a stream whose timeline has stopped feeding it gives back its channel once it has played out.
  void Handle(const std::vector<TSoundEvent>& events);
  // Silences the event sounds and drops the streams' queued audio.
  void StopAll();

  // Whether sound reaches a device at all.
  bool HasOutput() const;
  // Event sounds still sounding, and streams holding a mixer channel.
  int PlayingEventSounds() const;
  int PlayingStreams() const;

 private:
  std::shared_ptr<const TSwfMovie> movie_;
  std::unique_ptr<TMovieSoundParts> parts_;
};

}  // namespace kestrava
