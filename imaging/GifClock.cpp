#include "imaging/GifClock.h"

namespace kestrava {

void TGifStopSignal::Set() {
  {
    std::lock_guard lock(mutex_);
    set_ = true;
  }
  changed_.notify_all();
}

bool TGifStopSignal::IsSet() const {
  std::lock_guard lock(mutex_);
  return set_;
}

bool TGifStopSignal::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return set_; });
}

int64_t TSteadyGifClock::Milliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TSteadyGifClock::Sleep(int milliseconds, TGifStopSignal& stop) {
  stop.WaitFor(std::chrono::milliseconds(milliseconds));
}

}  // namespace kestrava
