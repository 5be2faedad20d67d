#include "transitions/AnimateThread.h"

#include <chrono>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "transitions/TransitionPlayer.h"

namespace kestrava {

uint32_t TickCount() {
  using namespace std::chrono;
  return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TAnimateThread::~TAnimateThread() {
  Terminate();
  WaitFor();
}

void TAnimateThread::Start() {
  thread_ = std::thread([this] { Execute(); });
}

void TAnimateThread::Terminate() {
  {
    std::lock_guard lock(sleepMutex_);
    terminated_ = true;
  }
  wake_.notify_all();
}

void TAnimateThread::WaitFor() {
  if (thread_.joinable()) thread_.join();
}

void TAnimateThread::Execute() {
  started_ = true;
  ApplyPriority();
  TCustomTransitionPlayer& player = Player;
  try {
    while (!Terminated()) {
      const uint32_t t0 = TickCount();
      player.FrameEvent.Wait();
      if (Terminated()) continue;
      player.FrameEvent.Reset();
      if (player.AdvanceProgress()) Terminate();
      if (!Terminated()) {
        const int64_t rest = int64_t{player.Delay()} - int64_t{TickCount() - t0};
        if (rest >= 0) SleepUnlessTerminated(int(rest));
      }
    }
  } catch (...) {
    // A frame that failed ends the animation; the done message below finishes the transition
    // as if it had reached its end.
  }
  finished_ = true;
  player.Host().PostAnimationDone();
}

void TAnimateThread::ApplyPriority() const {
#if defined(__linux__)
  // Threads have no portable priority; on Linux each thread has its own nice value. Raising it
  // above normal needs privileges that a desktop program lacks, so a refusal is ignored.
  int nice = 0;
  switch (priority_) {
    case TThreadPriority::tpIdle:
      nice = 19;
      break;
    case TThreadPriority::tpLowest:
      nice = 10;
      break;
    case TThreadPriority::tpLower:
      nice = 5;
      break;
    case TThreadPriority::tpNormal:
      return;
    case TThreadPriority::tpHigher:
      nice = -5;
      break;
    case TThreadPriority::tpHighest:
      nice = -10;
      break;
    case TThreadPriority::tpTimeCritical:
      nice = -15;
      break;
  }
  setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), nice);
#endif
}

void TAnimateThread::SleepUnlessTerminated(int milliseconds) {
  std::unique_lock lock(sleepMutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return Terminated(); });
}

}  // namespace kestrava
