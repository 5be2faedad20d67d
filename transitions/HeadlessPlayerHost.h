#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

#include "raster/Bitmap.h"
#include "raster/Rect.h"
#include "raster/SentCallQueue.h"
#include "transitions/PlayerHost.h"

namespace kestrava {

// A player host without a window system, for tests, tools and benchmarks. The thread that makes
// it is its UI thread and runs its message loop: posted messages and the synchronous calls of
// other threads wait in queues until that thread pumps (ProcessMessages, RunUntil) or waits for
// the animation thread (WaitServingSends). Painting happens when nothing else waits, as for a
// real window. The "window" is a bitmap of the client size: Present copies the area being
// painted into it, so Screen() is what a window would show.
class THeadlessPlayerHost final : public ITransitionPlayerHost {
 public:
  // How long RunUntil waits at most by default: a guard against a hang, not a pace.
  static constexpr std::chrono::milliseconds kRunGuard{60000};

  explicit THeadlessPlayerHost(int clientWidth = 100, int clientHeight = 100);
  ~THeadlessPlayerHost() override;
  THeadlessPlayerHost(const THeadlessPlayerHost&) = delete;
  THeadlessPlayerHost& operator=(const THeadlessPlayerHost&) = delete;

  void Attach(TCustomTransitionPlayer* player) override;
  bool WindowExists() const override { return windowExists_; }
  void CreateWindowIfNeeded() override;
  int ClientWidth() const override { return clientWidth_; }
  int ClientHeight() const override { return clientHeight_; }
  void SetClientSize(int width, int height) override;
  void Invalidate(const TRect& rect) override;
  bool UpdatePending() const override;
  void UpdateNow() override;
  void Present(const TBitmap& backBuffer) override;
  void PostAnimationDone() override;
  bool DispatchPendingAnimationDone() override;
  void ProcessMessages() override;
  void WaitMessage(std::chrono::milliseconds timeout) override;
  void WaitServingSends(const std::function<bool()>& done) override;

  // Any thread: queues a call for the UI thread, like a posted message.
  void Post(std::function<void()> call);
  // Any thread: runs a call on the UI thread and waits for it, like a sent message; its
  // exception reaches the caller.
  void Send(const std::function<void()>& call);
  // Any thread: makes a waiting RunUntil test its condition again.
  void Wake();
  // Pumps messages until the condition holds, testing it after every message; false when the
  // guard time passed first.
  bool RunUntil(const std::function<bool()>& condition,
                std::chrono::milliseconds guard = kRunGuard);
  // The window goes away: the player gets its destroy message first.
  void DestroyWindow();

  bool IsUiThread() const { return sent_.IsUiThread(); }
  // Where painted frames go instead of Screen(): a real window's pixels, which then take each
  // frame in one pass from the player's back buffer. Called on the UI thread with the area
  // being painted.
  using TPresenter = std::function<void(const TBitmap& backBuffer, const TRect& area)>;
  void PresentTo(TPresenter presenter);
  // What the window shows; empty before the window exists, and not kept with a presenter.
  const TBitmap& Screen() const { return screen_; }
  int PaintCount() const { return paintCount_; }

 private:
  struct TPosted {
    bool AnimationDone = false;
    std::function<void()> Call;
  };
  // Serves one waiting item: a sent call, else a posted message, else a paint. False if none.
  bool ProcessOne();
  bool PaintIfPending();
  void Dispatch(TPosted& message);
  // Waits until something is sent, posted, invalidated or woken; false for the deadline.
  bool WaitForWork(std::chrono::steady_clock::time_point deadline);
  bool HasMessageOrWake() const;
  void InvalidateAll();

  TCustomTransitionPlayer* player_ = nullptr;
  std::atomic<int> clientWidth_;
  std::atomic<int> clientHeight_;
  std::atomic<bool> windowExists_{false};

  // The calls of other threads; its Wake also tells the waiting UI thread of what is posted,
  // invalidated or woken below.
  TSentCallQueue sent_;
  mutable std::mutex mutex_;
  std::deque<TPosted> posted_;
  TRect update_;
  bool woken_ = false;

  TRect paintRect_;
  TBitmap screen_;
  TPresenter presenter_;
  int paintCount_ = 0;
};

}  // namespace kestrava
