#pragma once

// What the slide show shows at each tick of 40 ms: a picture held for the interval, then a
// transition of 25 frames (Step 4) to the next one, and round again.

#include <cstdint>

namespace kestrava {

inline constexpr int kTickMilliseconds = 40;  // the player's default Delay
inline constexpr int kTransitionStep = 4;     // the player's default Step: 25 frames

// The longest a picture is held: a day. A longer interval shows nothing different, and the
// ticks and milliseconds of a day fit every counter on the way.
inline constexpr int kMaxIntervalSeconds = 24 * 60 * 60;

// The seconds a picture is held for a stored interval: below 1 counts as 1, above a day as a day.
int HeldSeconds(int intervalSeconds);

struct TSlideMoment {
  int64_t Slide = 0;  // how many pictures have been passed: picture Slide mod n is on show
  int Progress = 0;   // 0 while the picture is held, 4..100 during the transition to the next
};

class TSlideSchedule {
 public:
  // The interval as HeldSeconds takes it.
  explicit TSlideSchedule(int intervalSeconds);

  int HoldTicks() const { return holdTicks_; }
  int TransitionTicks() const { return 100 / kTransitionStep; }
  // With cut set, the passage to the next picture takes no ticks.
  TSlideMoment At(int64_t tick, bool cut) const;

 private:
  int holdTicks_;
};

}  // namespace kestrava
