#include "runtime/core/SlideTimelines.h"

namespace kestrava {

TFixedClockSlides::TFixedClockSlides(TSlideShow& show, TSlideStage& stage)
    : show_(show), stage_(stage), schedule_(show.IntervalSeconds()) {
  stage_.Cut(show_.Current());
}

const TBitmap& TFixedClockSlides::FrameAt(int64_t tick) {
  const TSlideMoment moment = schedule_.At(tick, show_.Cut());
  while (slide_ < moment.Slide) {
    if (begun_) {
      stage_.SetProgress(100);
      stage_.Finish();
    } else {
      stage_.Cut(show_.Next());
    }
    show_.Advance();
    ++slide_;
    begun_ = false;
  }
  if (moment.Progress > 0) {
    if (!begun_) {
      stage_.Begin(show_.Style(), show_.Next(), /*manual=*/true);
      begun_ = true;
    }
    stage_.SetProgress(moment.Progress);
  }
  return stage_.Screen();
}

TLiveSlides::TLiveSlides(TSlideShow& show, TSlideStage& stage, uint64_t nowMs)
    : show_(show),
      stage_(stage),
      holdMs_(uint64_t(HeldSeconds(show.IntervalSeconds())) * 1000),
      holdStart_(nowMs) {
  stage_.Cut(show_.Current());
}

void TLiveSlides::Update(uint64_t nowMs) {
  if (passing_) {
    if (stage_.Busy()) return;
    show_.Advance();
    passing_ = false;
    holdStart_ = nowMs;
    return;
  }
  if (nowMs - holdStart_ < holdMs_) return;
  if (show_.Cut()) {
    stage_.Cut(show_.Next());
    show_.Advance();
    holdStart_ = nowMs;
    return;
  }
  stage_.Begin(show_.Style(), show_.Next(), /*manual=*/false);
  passing_ = true;
}

}  // namespace kestrava
