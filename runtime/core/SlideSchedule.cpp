#include "runtime/core/SlideSchedule.h"

#include <algorithm>

namespace kestrava {

TSlideSchedule::TSlideSchedule(int intervalSeconds)
    : holdTicks_(std::max(intervalSeconds, 1) * (1000 / kTickMilliseconds)) {}

TSlideMoment TSlideSchedule::At(int64_t tick, bool cut) const {
  const int64_t cycle = holdTicks_ + (cut ? 0 : TransitionTicks());
  TSlideMoment moment;
  moment.Slide = tick / cycle;
  const int64_t within = tick % cycle;
  if (within >= holdTicks_) moment.Progress = int(within - holdTicks_ + 1) * kTransitionStep;
  return moment;
}

}  // namespace kestrava
