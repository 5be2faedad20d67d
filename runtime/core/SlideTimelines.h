#pragma once

// The two clocks a pictures saver runs on. On screen the picture is held for the interval by the
// wall clock and the player's thread runs each transition on its own clock (Step 4, Delay 40). The
// frame dump replaces both by a fixed 40 ms per frame and drives the same player frame by frame,
// so a dump shows exactly the frames the schedule names.

#include <cstdint>

#include "raster/Bitmap.h"
#include "runtime/core/SlideSchedule.h"
#include "runtime/core/SlideShow.h"
#include "runtime/core/SlideStage.h"

namespace kestrava {

class TFixedClockSlides {
 public:
  // Shows the first picture.
  TFixedClockSlides(TSlideShow& show, TSlideStage& stage);
  // The frame at tick n (40 ms each from the start); ticks only go forward.
  const TBitmap& FrameAt(int64_t tick);

 private:
  TSlideShow& show_;
  TSlideStage& stage_;
  TSlideSchedule schedule_;
  int64_t slide_ = 0;
  bool begun_ = false;  // the transition from the current picture has started
};

class TLiveSlides {
 public:
  // Shows the first picture; its interval starts at nowMs.
  TLiveSlides(TSlideShow& show, TSlideStage& stage, uint64_t nowMs);
  // Starts the next transition when the interval is up, and moves on when it has ended. The
  // stage's Pump runs the transition.
  void Update(uint64_t nowMs);

 private:
  TSlideShow& show_;
  TSlideStage& stage_;
  uint64_t holdMs_;
  uint64_t holdStart_;
  bool passing_ = false;
};

}  // namespace kestrava
