#pragma once

// A Flash movie ready to play: its timeline, its renderer, and the movie's clock. Whoever shows
// it (the wizard's preview, the saver, the tools) gives the time and a bitmap to draw into; the
// sound requests are handed on to whoever plays sound.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "movie/MovieTimeline.h"
#include "movie/SoundEvents.h"
#include "movie/SwfMovie.h"
#include "movie/render/MovieRenderer.h"
#include "raster/Bitmap.h"

namespace kestrava {

class TMoviePlayer {
 public:
  // A movie whose header gives no frame rate plays at this one.
  static constexpr double kFallbackFrameRate = 12;
  // How many frames a late clock makes up for at once; beyond that the clock is moved on.
  static constexpr int kMaxCatchUp = 4;

  // Throw ESwfError when the movie cannot be read.
  static std::unique_ptr<TMoviePlayer> LoadFile(const std::filesystem::path& path);
  static std::unique_ptr<TMoviePlayer> LoadBytes(std::span<const uint8_t> bytes);
  explicit TMoviePlayer(std::shared_ptr<const TSwfMovie> movie);

  const TSwfMovie& Movie() const { return *movie_; }
  std::shared_ptr<const TSwfMovie> SharedMovie() const { return movie_; }
  // The frame size in pixels.
  int Width() const;
  int Height() const;
  double FrameRate() const;
  int FrameCount() const { return movie_->FrameCount(); }

  int CurrentFrame() const { return timeline_.CurrentFrame(); }
  // The last frame has been on show (a movie of one frame: at once).
  bool ReachedEnd() const { return timeline_.ReachedEnd(); }
  bool Stopped() const { return timeline_.Stopped(); }
  // Some sprite inside still animates (a one-frame root can hold a whole animation).
  bool SpritesPlaying() const { return timeline_.SpritesPlaying(); }

  // One frame on.
  void Advance();
  // Plays by the caller's clock: the first call starts the movie's clock, later calls advance
  // the frames that are due by then. True when a frame was advanced (the picture may differ).
  bool AdvanceTo(uint64_t nowMs);

  // Draws the current frame into the bitmap at its size, letterboxed in the background colour.
  void Render(TBitmap& target);
  void SetAntialias(bool on) { renderer_.SetAntialias(on); }

  // What the frames advanced since the last call asked of the sound.
  std::vector<TSoundEvent> TakeSoundEvents();

 private:
  std::shared_ptr<const TSwfMovie> movie_;
  TMovieTimeline timeline_;
  TMovieRenderer renderer_;
  std::optional<uint64_t> startMs_;
  int64_t framesAdvanced_ = 0;  // since the clock started
  std::vector<TSoundEvent> sound_;
};

}  // namespace kestrava
