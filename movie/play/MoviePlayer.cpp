#include "movie/play/MoviePlayer.h"

#include <cmath>
#include <utility>

namespace kestrava {

std::unique_ptr<TMoviePlayer> TMoviePlayer::LoadFile(const std::filesystem::path& path) {
  return std::make_unique<TMoviePlayer>(TSwfMovie::LoadFile(path));
}

std::unique_ptr<TMoviePlayer> TMoviePlayer::LoadBytes(std::span<const uint8_t> bytes) {
  return std::make_unique<TMoviePlayer>(
      TSwfMovie::Load(std::vector<uint8_t>(bytes.begin(), bytes.end())));
}

TMoviePlayer::TMoviePlayer(std::shared_ptr<const TSwfMovie> movie)
    : movie_(std::move(movie)), timeline_(movie_), renderer_(movie_) {
  // The first frame's requests (its sounds) come with it.
  sound_ = timeline_.TakeSoundEvents();
}

int TMoviePlayer::Width() const {
  const TSwfRect r = movie_->FrameRect();
  return int((int64_t(r.XMax) - r.XMin) / 20);
}

int TMoviePlayer::Height() const {
  const TSwfRect r = movie_->FrameRect();
  return int((int64_t(r.YMax) - r.YMin) / 20);
}

double TMoviePlayer::FrameRate() const {
  const double rate = movie_->FrameRate();
  return rate > 0 && std::isfinite(rate) ? rate : kFallbackFrameRate;
}

void TMoviePlayer::Advance() {
  timeline_.Advance();
  std::vector<TSoundEvent> more = timeline_.TakeSoundEvents();
  sound_.insert(sound_.end(), more.begin(), more.end());
}

bool TMoviePlayer::AdvanceTo(uint64_t nowMs) {
  if (!startMs_) {
    startMs_ = nowMs;
    return false;
  }
  if (nowMs < *startMs_) return false;
  const auto due = int64_t(double(nowMs - *startMs_) * FrameRate() / 1000.0);
  int64_t behind = due - framesAdvanced_;
  if (behind <= 0) return false;
  if (behind > kMaxCatchUp) {
    // A clock far ahead (a slow machine, a suspended process): the movie does not race to
    // catch up, it goes on from here.
    framesAdvanced_ = due - kMaxCatchUp;
    behind = kMaxCatchUp;
  }
  for (int64_t i = 0; i < behind; ++i) Advance();
  framesAdvanced_ += behind;
  return true;
}

void TMoviePlayer::Render(TBitmap& target) {
  renderer_.Render(timeline_.Frame(), target);
}

std::vector<TSoundEvent> TMoviePlayer::TakeSoundEvents() {
  return std::exchange(sound_, {});
}

}  // namespace kestrava
