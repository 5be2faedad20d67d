#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kestrava {

// Set once to ask a painter to end; it wakes the painter from its wait between frames.
class TGifStopSignal {
 public:
  void Set();
  bool IsSet() const;
  // Blocks until the signal is set or the time has passed; true when set.
  bool WaitFor(std::chrono::milliseconds timeout);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

// Time as the GIF painter keeps it. Tests give a clock that moves only when told and never
// blocks.
class IGifClock {
 public:
  virtual ~IGifClock() = default;
  // Any thread.
  virtual int64_t Milliseconds() = 0;
  // Waits the time, returning early once stop is set.
  virtual void Sleep(int milliseconds, TGifStopSignal& stop) = 0;
};

// The steady clock of the machine.
class TSteadyGifClock final : public IGifClock {
 public:
  int64_t Milliseconds() override;
  void Sleep(int milliseconds, TGifStopSignal& stop) override;
};

}  // namespace kestrava
