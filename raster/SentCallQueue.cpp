#include "raster/SentCallQueue.h"

#include <utility>

namespace kestrava {

TSentCallQueue::TSentCallQueue(std::function<void()> onQueued)
    : uiThread_(std::this_thread::get_id()), onQueued_(std::move(onQueued)) {}

void TSentCallQueue::Send(const TCall& call) {
  if (IsUiThread()) {
    call();
    return;
  }
  // The record lives on this stack: the UI thread reaches it only while this thread waits.
  TSent sent;
  sent.Call = &call;
  {
    std::lock_guard lock(mutex_);
    sent_.push_back(&sent);
  }
  work_.notify_all();
  if (onQueued_) onQueued_();
  std::unique_lock lock(mutex_);
  served_.wait(lock, [&sent] { return sent.Done; });
  if (sent.Error) std::rethrow_exception(sent.Error);
}

bool TSentCallQueue::HasWaiting() const {
  std::lock_guard lock(mutex_);
  return !sent_.empty();
}

bool TSentCallQueue::ServeOne() {
  TSent* sent;
  {
    std::lock_guard lock(mutex_);
    if (sent_.empty()) return false;
    sent = sent_.front();
    sent_.pop_front();
  }
  std::exception_ptr error;
  try {
    (*sent->Call)();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard lock(mutex_);
    // Moved, not copied: the sender alone then holds the exception and frees it.
    sent->Error = std::move(error);
    sent->Done = true;
  }
  served_.notify_all();
  return true;
}

void TSentCallQueue::ServeAll() {
  while (ServeOne()) {
  }
}

void TSentCallQueue::WaitServing(const std::function<bool()>& done) {
  for (;;) {
    if (ServeOne()) {
      if (done()) return;
      continue;
    }
    std::unique_lock lock(mutex_);
    work_.wait(lock, [&] { return !sent_.empty() || done(); });
    if (sent_.empty()) return;
  }
}

bool TSentCallQueue::WaitUntil(std::chrono::steady_clock::time_point deadline,
                               const std::function<bool()>& ready) {
  std::unique_lock lock(mutex_);
  return work_.wait_until(lock, deadline, [&] { return !sent_.empty() || ready(); });
}

void TSentCallQueue::Wake() {
  // Passing through the lock is enough: a waiter tests its condition under it, so it either sees
  // what changed before this call or already waits for this notify.
  { std::lock_guard lock(mutex_); }
  work_.notify_all();
}

}  // namespace kestrava
