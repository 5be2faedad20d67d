#include "movie/MovieTimeline.h"

#include "movie/MovieTimelineState.h"

namespace kestrava {

TMovieTimeline::TMovieTimeline(std::shared_ptr<const TSwfMovie> movie)
    : movie_(std::move(movie)), state_(std::make_unique<TMovieTimelineState>(movie_)) {}

TMovieTimeline::~TMovieTimeline() = default;
TMovieTimeline::TMovieTimeline(TMovieTimeline&&) noexcept = default;
TMovieTimeline& TMovieTimeline::operator=(TMovieTimeline&&) noexcept = default;

void TMovieTimeline::Advance() {
  state_->Advance();
}
int TMovieTimeline::CurrentFrame() const {
  return state_->CurrentFrame();
}
bool TMovieTimeline::Stopped() const {
  return state_->Stopped();
}
bool TMovieTimeline::ReachedEnd() const {
  return state_->ReachedEnd();
}
bool TMovieTimeline::SpritesPlaying() const {
  return state_->SpritesPlaying();
}
TDisplayFrame TMovieTimeline::Frame() const {
  return state_->Frame();
}
std::vector<TSoundEvent> TMovieTimeline::TakeSoundEvents() {
  return state_->TakeSoundEvents();
}
std::vector<std::string> TMovieTimeline::TakeTrace() {
  return state_->TakeTrace();
}

}  // namespace kestrava
