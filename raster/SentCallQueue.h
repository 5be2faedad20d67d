#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace kestrava {

// The calls other threads hand to a UI thread and wait for, like sent window messages. The thread
// that makes the queue is its UI thread. It serves the calls from its message loop, and must also
// serve them whenever it waits for one of those threads (WaitServing), or the two would wait for
// each other.
//
// The owner ends every thread that may still send before the queue goes.
class TSentCallQueue {
 public:
  using TCall = std::function<void()>;

  // onQueued runs on the sending thread, outside the lock, after each call is queued: a host
  // whose UI thread sleeps in an event loop of its own posts itself a wake-up there.
  explicit TSentCallQueue(std::function<void()> onQueued = {});
  TSentCallQueue(const TSentCallQueue&) = delete;
  TSentCallQueue& operator=(const TSentCallQueue&) = delete;

  bool IsUiThread() const { return std::this_thread::get_id() == uiThread_; }

  // Any thread: runs call on the UI thread and returns once it has run; its exception reaches
  // the caller. On the UI thread it runs at once.
  void Send(const TCall& call);
  // Any thread: whether a call waits to be served.
  bool HasWaiting() const;

  // UI thread: runs the oldest waiting call; false when none waits.
  bool ServeOne();
  // UI thread: runs the waiting calls, including those queued meanwhile, until none waits.
  void ServeAll();

  // UI thread: serves calls until done() holds, testing it after every call and every wake-up.
  // done() is tested under the queue's lock: whoever makes it true and then calls Wake needs that
  // lock, so the wake-up cannot slip in between the test and the wait.
  void WaitServing(const std::function<bool()>& done);
  // UI thread: blocks, serving nothing, until a call waits, ready() holds or the deadline has
  // passed; false for the deadline. ready() is tested under the lock as done() is, and must not
  // call into the queue. Wake makes it test ready() again.
  bool WaitUntil(std::chrono::steady_clock::time_point deadline,
                 const std::function<bool()>& ready);
  // Any thread: makes a waiting UI thread test its condition again.
  void Wake();

 private:
  struct TSent {
    const TCall* Call = nullptr;
    bool Done = false;
    std::exception_ptr Error;
  };

  const std::thread::id uiThread_;
  const std::function<void()> onQueued_;
  mutable std::mutex mutex_;
  std::condition_variable work_;    // wakes the UI thread
  std::condition_variable served_;  // wakes the senders whose call has run
  std::deque<TSent*> sent_;
};

}  // namespace kestrava
