#include "transitions/ManualResetEvent.h"

namespace kestrava {

void TManualResetEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  changed_.notify_all();
}

void TManualResetEvent::Reset() {
  std::lock_guard lock(mutex_);
  signalled_ = false;
}

void TManualResetEvent::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return signalled_; });
}

bool TManualResetEvent::IsSet() const {
  std::lock_guard lock(mutex_);
  return signalled_;
}

}  // namespace kestrava
