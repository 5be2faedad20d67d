#include "runtime/core/SlideSchedule.h"

#include <algorithm>

namespace kestrava {

int HeldSeconds(int intervalSeconds) {
  return std::clamp(intervalSeconds, 1, kMaxIntervalSeconds);
}

TSlideSchedule::TSlideSchedule(int intervalSeconds)
    : holdTicks_(HeldSeconds(intervalSeconds) * (1000 / kTickMilliseconds)) {}

TSlideMoment TSlideSchedule::At(int64_t tick, bool cut) const {
  const int64_t cycle = holdTicks_ + (cut ? 0 : TransitionTicks());
  TSlideMoment moment;
  moment.Slide = tick / cycle;
  const int64_t within = tick % cycle;
  if (within >= holdTicks_) moment.Progress = int(within - holdTicks_ + 1) * kTransitionStep;
  return moment;
}

}  // namespace kestrava
