#pragma once

// What the slide show shows at each tick of 40 ms: a picture held for the interval, then a
// transition of 25 frames (Step 4) to the next one, and round again.

#include <cstdint>

namespace kestrava {

inline constexpr int kTickMilliseconds = 40;  // the player's default Delay
inline constexpr int kTransitionStep = 4;     // the player's default Step: 25 frames

struct TSlideMoment {
  int64_t Slide = 0;  // how many pictures have been passed: picture Slide mod n is on show
  int Progress = 0;   // 0 while the picture is held, 4..100 during the transition to the next
};

class TSlideSchedule {
 public:
  // An interval below 1 second counts as 1.
  explicit TSlideSchedule(int intervalSeconds);

  int HoldTicks() const { return holdTicks_; }
  int TransitionTicks() const { return 100 / kTransitionStep; }
  // With cut set, the passage to the next picture takes no ticks.
  TSlideMoment At(int64_t tick, bool cut) const;

 private:
  int holdTicks_;
};

}  // namespace kestrava
