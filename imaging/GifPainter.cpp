#include "imaging/GifPainter.h"

#include <algorithm>
#include <utility>

#include "imaging/GifFrame.h"
#include "raster/MulDiv.h"

namespace kestrava {

int GifFrameDelay(const TGifFrame& frame) {
  int delay = frame.GraphicControl ? frame.GraphicControl->Delay : 0;
  if (delay == 0) delay = 10;
  return std::max(delay, 3);
}

int GifFrameWait(int delay, int lateness, int speed) {
  return MulDiv(delay * 12 - lateness / 2, 100, speed);
}

TGifPainter::TGifPainter(IGifPainterHost& host, IGifClock& clock, TPlan plan,
                         std::function<void(int)> show)
    : host_(host), clock_(clock), plan_(std::move(plan)), show_(std::move(show)) {}

TGifPainter::~TGifPainter() {
  Stop();
  if (thread_.joinable()) thread_.join();
}

void TGifPainter::Start() {
  thread_ = std::thread([this] { Execute(); });
}

void TGifPainter::Stop() {
  stop_.Set();
}

void TGifPainter::WaitFor() {
  if (thread_.joinable()) host_.WaitServing([this] { return Finished(); });
}

void TGifPainter::Execute() {
  try {
    int index = 0, pass = 1, lateness = 0;
    while (index < plan_.FrameCount && !stop_.IsSet()) {
      const int64_t start = clock_.Milliseconds();
      host_.Synchronize([this, index] {
        if (stop_.IsSet()) return;
        show_(index);
        firstShown_ = true;
      });
      host_.Wake();
      int next = index + 1;
      if (next >= plan_.FrameCount) {
        // The last frame stays after the last pass.
        if (plan_.Passes != 0 && pass >= plan_.Passes) break;
        ++pass;
        next = plan_.LoopStart;
      }
      const int wait =
          std::max(GifFrameWait(plan_.Delays[size_t(index)], lateness, plan_.Speed), 0);
      if (wait > 0) clock_.Sleep(wait, stop_);
      lateness = int(clock_.Milliseconds() - start) - wait;
      index = next;
    }
  } catch (...) {
    // A step that fails ends the animation; the picture stays as far as it was drawn.
  }
  finished_ = true;
  host_.Wake();
}

}  // namespace kestrava
