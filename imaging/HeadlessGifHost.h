#pragma once

#include <functional>

#include "imaging/GifPainterHost.h"
#include "raster/SentCallQueue.h"

namespace kestrava {

// A painter host without a window system, for tests and tools. The thread that makes it is its
// UI thread: steps handed over by other threads wait until that thread serves them, in
// WaitServing or ProcessMessages.
class THeadlessGifHost final : public IGifPainterHost {
 public:
  THeadlessGifHost() = default;
  THeadlessGifHost(const THeadlessGifHost&) = delete;
  THeadlessGifHost& operator=(const THeadlessGifHost&) = delete;

  void Synchronize(const std::function<void()>& step) override { steps_.Send(step); }
  void WaitServing(const std::function<bool()>& done) override { steps_.WaitServing(done); }
  void Wake() override { steps_.Wake(); }

  // UI thread: runs every step waiting now, without blocking.
  void ProcessMessages() { steps_.ServeAll(); }
  bool IsUiThread() const { return steps_.IsUiThread(); }

 private:
  TSentCallQueue steps_;
};

}  // namespace kestrava
