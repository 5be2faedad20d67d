#pragma once

#include <condition_variable>
#include <mutex>

namespace kestrava {

// An event that stays set until it is reset: every waiter passes while it is set.
class TManualResetEvent {
 public:
  explicit TManualResetEvent(bool signalled) : signalled_(signalled) {}
  TManualResetEvent(const TManualResetEvent&) = delete;
  TManualResetEvent& operator=(const TManualResetEvent&) = delete;

  void Set();
  void Reset();
  // Blocks, without time limit, until the event is set.
  void Wait();
  bool IsSet() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_;
};

}  // namespace kestrava
