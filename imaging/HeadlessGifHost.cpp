#include "imaging/HeadlessGifHost.h"

namespace kestrava {

void THeadlessGifHost::Synchronize(const std::function<void()>& step) {
  if (IsUiThread()) {
    step();
    return;
  }
  TSent sent;
  sent.Step = &step;
  std::unique_lock lock(mutex_);
  sent_.push_back(&sent);
  work_.notify_all();
  served_.wait(lock, [&sent] { return sent.Done; });
  if (sent.Error) std::rethrow_exception(sent.Error);
}

bool THeadlessGifHost::ServeOne() {
  TSent* sent;
  {
    std::lock_guard lock(mutex_);
    if (sent_.empty()) return false;
    sent = sent_.front();
    sent_.pop_front();
  }
  std::exception_ptr error;
  try {
    (*sent->Step)();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard lock(mutex_);
    sent->Error = error;
    sent->Done = true;
  }
  served_.notify_all();
  return true;
}

void THeadlessGifHost::ProcessMessages() {
  while (ServeOne()) {
  }
}

void THeadlessGifHost::WaitServing(const std::function<bool()>& done) {
  for (;;) {
    if (ServeOne()) {
      if (done()) return;
      continue;
    }
    std::unique_lock lock(mutex_);
    // done() is tested under the lock: whoever makes it true calls Wake afterwards, which needs
    // the lock, so the wake-up cannot slip in between the test and the wait.
    work_.wait(lock, [&] { return !sent_.empty() || woken_ || done(); });
    woken_ = false;
    if (sent_.empty() && done()) return;
  }
}

void THeadlessGifHost::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  work_.notify_all();
}

}  // namespace kestrava
