#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "imaging/GifPainterHost.h"

namespace kestrava {

// A painter host without a window system, for tests and tools. The thread that makes it is its
// UI thread: steps handed over by other threads wait until that thread serves them, in
// WaitServing or ProcessMessages.
class THeadlessGifHost final : public IGifPainterHost {
 public:
  THeadlessGifHost() : uiThread_(std::this_thread::get_id()) {}
  THeadlessGifHost(const THeadlessGifHost&) = delete;
  THeadlessGifHost& operator=(const THeadlessGifHost&) = delete;

  void Synchronize(const std::function<void()>& step) override;
  void WaitServing(const std::function<bool()>& done) override;
  void Wake() override;

  // UI thread: runs every step waiting now, without blocking.
  void ProcessMessages();
  bool IsUiThread() const { return std::this_thread::get_id() == uiThread_; }

 private:
  struct TSent {
    const std::function<void()>* Step = nullptr;
    bool Done = false;
    std::exception_ptr Error;
  };
  bool ServeOne();

  const std::thread::id uiThread_;
  std::mutex mutex_;
  std::condition_variable work_;    // wakes the UI thread
  std::condition_variable served_;  // wakes the threads whose step has run
  std::deque<TSent*> sent_;
  bool woken_ = false;
};

}  // namespace kestrava
