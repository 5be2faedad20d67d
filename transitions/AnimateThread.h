#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace kestrava {

class TCustomTransitionPlayer;

// Milliseconds of a steady clock, wrapping like the platform's tick count; differences are taken
// unsigned.
uint32_t TickCount();

enum class TThreadPriority {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical
};

// The animation thread of a transition player: advances Progress one frame at a time, paced by
// the player's FrameEvent and its Delay, and posts an animation-done message to the player's
// host when it ends. It is made suspended, runs from Start, and never frees itself: the UI thread
// destroys it once the done message has been dispatched.
class TAnimateThread {
 public:
  explicit TAnimateThread(TCustomTransitionPlayer& player) : Player(player) {}
  // Terminates the thread and waits for its end.
  ~TAnimateThread();
  TAnimateThread(const TAnimateThread&) = delete;
  TAnimateThread& operator=(const TAnimateThread&) = delete;

  TThreadPriority Priority() const { return priority_; }
  // Takes effect when the thread starts.
  void SetPriority(TThreadPriority priority) { priority_ = priority; }

  void Start();
  // Asks the body to end; it wakes the body from its pause between frames.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Set by the body first thing when it runs.
  bool Started() const { return started_; }
  // Set by the body just before it posts its done message, its last act.
  bool Finished() const { return finished_; }
  void WaitFor();

  TCustomTransitionPlayer& Player;

 private:
  void Execute();
  void ApplyPriority() const;
  void SleepUnlessTerminated(int milliseconds);

  TThreadPriority priority_ = TThreadPriority::tpNormal;
  std::atomic<bool> started_{false};
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::mutex sleepMutex_;
  std::condition_variable wake_;
  std::thread thread_;
};

}  // namespace kestrava
