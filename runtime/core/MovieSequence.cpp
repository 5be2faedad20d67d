#include "runtime/core/MovieSequence.h"

#include <exception>

#include "runtime/core/MovieCard.h"

namespace kestrava {

TMovieSequence::TMovieSequence(const TSaverFileReader& saver, int width, int height)
    : saver_(saver), width_(width), height_(height), frame_(width, height) {
  for (const TSaverBlock& block : saver.Blocks())
    if (block.Kind == TBlockKind::Movie) movies_.push_back(block);
  if (movies_.empty()) throw ESaverFileError("not a saver file: no movies");
}

void TMovieSequence::Start(size_t index, uint64_t nowMs) {
  index_ = index;
  startMs_ = nowMs;
  endSeenMs_.reset();
  ++serial_;
  player_.reset();
  try {
    player_ = TMoviePlayer::LoadBytes(saver_.ReadBlock(movies_[index]));
    player_->AdvanceTo(nowMs);  // starts the movie's clock
    if (player_->ReachedEnd()) endSeenMs_ = nowMs;  // a movie of one frame
    player_->Render(frame_);
  } catch (const ESaverFileError&) {
    throw;  // the file itself is damaged: the saver ends
  } catch (const std::exception& e) {
    // One bad movie does not end the show: it says why for a while, then the next one plays.
    player_.reset();
    frame_ = DrawTextCard("Movie " + std::to_string(index + 1) + " of " +
                              std::to_string(movies_.size()) + "\n" + e.what(),
                          width_, height_);
  }
}

bool TMovieSequence::Finished(uint64_t nowMs) const {
  const uint64_t shown = nowMs - startMs_;
  if (!player_) return shown >= kMinimumShowMs;
  if (shown >= kLongestShowMs) return true;
  // A root that has ended while sprites inside still animate plays on, as one that loops.
  if (player_->SpritesPlaying()) return false;
  // The last frame stays on for its own frame's time before the next movie.
  if (!endSeenMs_ || nowMs - *endSeenMs_ < uint64_t(1000 / player_->FrameRate())) return false;
  return shown >= kMinimumShowMs;
}

bool TMovieSequence::Update(uint64_t nowMs) {
  if (!started_) {
    started_ = true;
    Start(0, nowMs);
    return true;
  }
  if (nowMs < startMs_) return false;
  if (Finished(nowMs)) {
    Start((index_ + 1) % movies_.size(), nowMs);
    return true;
  }
  if (!player_ || !player_->AdvanceTo(nowMs)) return false;
  if (!endSeenMs_ && player_->ReachedEnd()) endSeenMs_ = nowMs;
  player_->Render(frame_);
  return true;
}

std::vector<TSoundEvent> TMovieSequence::TakeSoundEvents() {
  return player_ ? player_->TakeSoundEvents() : std::vector<TSoundEvent>{};
}

}  // namespace kestrava
