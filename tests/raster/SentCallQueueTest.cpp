#include "raster/SentCallQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kestrava {
namespace {

// Counts the calls queued so far, so a test can wait until another thread's call waits.
class TQueuedCounter {
 public:
  void Count() {
    {
      std::lock_guard lock(mutex_);
      ++count_;
      threads_.push_back(std::this_thread::get_id());
    }
    changed_.notify_all();
  }
  void WaitFor(int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return count_ >= count; });
  }
  std::vector<std::thread::id> Threads() {
    std::lock_guard lock(mutex_);
    return threads_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
  std::vector<std::thread::id> threads_;
};

TEST(SentCallQueue, RunsASentCallOnItsOwnThreadAndReturnsOnlyAfterIt) {
  TQueuedCounter queued;
  TSentCallQueue queue([&] { queued.Count(); });
  std::thread::id ranOn;
  std::atomic<bool> ranBeforeReturn{false};
  std::atomic<bool> senderDone{false};
  std::thread::id senderId;
  std::thread sender([&] {
    senderId = std::this_thread::get_id();
    bool ran = false;
    queue.Send([&] {
      ranOn = std::this_thread::get_id();
      ran = true;
    });
    ranBeforeReturn = ran;
    senderDone = true;
    queue.Wake();
  });
  // Not served before the UI thread serves it.
  queued.WaitFor(1);
  EXPECT_TRUE(queue.HasWaiting());
  queue.WaitServing([&] { return senderDone.load(); });
  sender.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_TRUE(ranBeforeReturn);
  EXPECT_FALSE(queue.HasWaiting());
  // The hook ran once, on the sending thread.
  EXPECT_EQ(queued.Threads(), std::vector<std::thread::id>{senderId});
}

TEST(SentCallQueue, TheCallsExceptionReachesTheSenderAndServingGoesOn) {
  TSentCallQueue queue;
  std::string message;
  bool laterCallRan = false;
  std::atomic<bool> senderDone{false};
  std::thread sender([&] {
    try {
      queue.Send([] { throw std::runtime_error("sent call failed"); });
    } catch (const std::runtime_error& e) {
      message = e.what();
    }
    queue.Send([&] { laterCallRan = true; });
    senderDone = true;
    queue.Wake();
  });
  queue.WaitServing([&] { return senderDone.load(); });
  sender.join();
  EXPECT_EQ(message, "sent call failed");
  EXPECT_TRUE(laterCallRan);
}

TEST(SentCallQueue, ServesCallsInTheOrderTheyWereQueued) {
  constexpr int kSenders = 6;
  TQueuedCounter queued;
  TSentCallQueue queue([&] { queued.Count(); });
  std::vector<int> served;
  std::vector<std::thread> senders;
  for (int i = 0; i < kSenders; ++i) {
    senders.emplace_back(
        [&queue, &served, i] { queue.Send([&served, i] { served.push_back(i); }); });
    queued.WaitFor(i + 1);
  }
  EXPECT_TRUE(queue.ServeOne());
  queue.ServeAll();
  EXPECT_FALSE(queue.ServeOne());
  for (std::thread& t : senders)
    t.join();
  EXPECT_EQ(served, (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(SentCallQueue, OnItsOwnThreadASendRunsAtOnceEvenFromAServedCall) {
  TQueuedCounter queued;
  TSentCallQueue queue([&] { queued.Count(); });
  int depth = 0;
  queue.Send([&] {
    ++depth;
    queue.Send([&] { ++depth; });
  });
  EXPECT_EQ(depth, 2);
  EXPECT_FALSE(queue.HasWaiting());

  // A call served for another thread may send in turn without waiting for itself.
  std::thread sender([&] { queue.Send([&] { queue.Send([&] { ++depth; }); }); });
  queued.WaitFor(1);
  queue.ServeAll();
  sender.join();
  EXPECT_EQ(depth, 3);
  EXPECT_EQ(queued.Threads().size(), 1u) << "the hook is for calls that wait";
}

TEST(SentCallQueue, WaitServingEndsWhenDoneHolds) {
  // Each case: how another thread makes done() true, many times over to give a lost wake-up a
  // chance to show as a hang.
  struct TCase {
    const char* name;
    int callsFirst;      // calls sent before done() becomes true
    bool doneByTheCall;  // the last served call makes done() true itself, with no Wake
  };
  const TCase cases[] = {
      {"Wake without any call", 0, false},
      {"Wake after calls", 3, false},
      {"a served call", 1, true},
  };
  for (const TCase& c : cases) {
    for (int round = 0; round < 200; ++round) {
      TSentCallQueue queue;
      int served = 0;
      std::atomic<bool> done{false};
      std::thread other([&] {
        for (int i = 0; i < c.callsFirst; ++i)
          queue.Send([&] {
            ++served;
            if (c.doneByTheCall) done = true;
          });
        if (c.doneByTheCall) return;
        done = true;
        queue.Wake();
      });
      queue.WaitServing([&] { return done.load(); });
      other.join();
      ASSERT_EQ(served, c.callsFirst) << c.name << ", round " << round;
    }
  }
  // Done already: nothing to wait for.
  TSentCallQueue queue;
  queue.WaitServing([] { return true; });
}

TEST(SentCallQueue, WaitUntilEndsForAWaitingCallAReadyConditionOrTheDeadline) {
  TQueuedCounter queued;
  TSentCallQueue queue([&] { queued.Count(); });
  const auto later = std::chrono::steady_clock::now() + std::chrono::minutes(5);

  EXPECT_FALSE(queue.WaitUntil(std::chrono::steady_clock::now(), [] { return false; }));
  EXPECT_TRUE(queue.WaitUntil(std::chrono::steady_clock::now(), [] { return true; }));

  // A waiting call ends the wait but is left for the caller to serve.
  bool ran = false;
  std::thread sender([&] { queue.Send([&] { ran = true; }); });
  queued.WaitFor(1);
  EXPECT_TRUE(queue.WaitUntil(later, [] { return false; }));
  EXPECT_FALSE(ran);
  EXPECT_TRUE(queue.ServeOne());
  sender.join();
  EXPECT_TRUE(ran);

  // Another thread makes ready() true and wakes the waiter.
  std::atomic<bool> ready{false};
  std::thread waker([&] {
    ready = true;
    queue.Wake();
  });
  EXPECT_TRUE(queue.WaitUntil(later, [&] { return ready.load(); }));
  waker.join();
}

}  // namespace
}  // namespace kestrava
