#include "transitions/HeadlessPlayerHost.h"

#include <algorithm>
#include <utility>

#include "raster/Canvas.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava {

THeadlessPlayerHost::THeadlessPlayerHost(int clientWidth, int clientHeight)
    : clientWidth_(std::max(clientWidth, 0)), clientHeight_(std::max(clientHeight, 0)) {}

THeadlessPlayerHost::~THeadlessPlayerHost() = default;

void THeadlessPlayerHost::Attach(TCustomTransitionPlayer* player) {
  player_ = player;
}

void THeadlessPlayerHost::CreateWindowIfNeeded() {
  if (windowExists_) return;
  if (!presenter_) screen_.SetSize(clientWidth_, clientHeight_);
  windowExists_ = true;
  InvalidateAll();
  if (player_) player_->HandleResize(clientWidth_, clientHeight_);
}

void THeadlessPlayerHost::SetClientSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == clientWidth_ && height == clientHeight_) return;
  clientWidth_ = width;
  clientHeight_ = height;
  if (!windowExists_) return;
  if (!presenter_) screen_.SetSize(width, height);
  // The whole window is redrawn after a size change.
  InvalidateAll();
  if (player_) player_->HandleResize(width, height);
}

void THeadlessPlayerHost::PresentTo(TPresenter presenter) {
  presenter_ = std::move(presenter);
  // The presenter's window keeps the picture: no copy here.
  if (presenter_) screen_ = TBitmap();
}

void THeadlessPlayerHost::Invalidate(const TRect& rect) {
  if (!windowExists_) return;
  const TRect r = Intersect(rect.Normalized(), {0, 0, clientWidth_, clientHeight_});
  if (r.IsEmpty()) return;
  {
    std::lock_guard lock(mutex_);
    update_ = Union(update_, r);
  }
  sent_.Wake();
}

void THeadlessPlayerHost::InvalidateAll() {
  Invalidate({0, 0, clientWidth_, clientHeight_});
}

bool THeadlessPlayerHost::UpdatePending() const {
  std::lock_guard lock(mutex_);
  return windowExists_ && !update_.IsEmpty();
}

void THeadlessPlayerHost::UpdateNow() {
  if (IsUiThread())
    PaintIfPending();
  else
    Send([this] { PaintIfPending(); });
}

bool THeadlessPlayerHost::PaintIfPending() {
  TRect r;
  {
    std::lock_guard lock(mutex_);
    if (!windowExists_ || update_.IsEmpty()) return false;
    r = std::exchange(update_, TRect{});
  }
  ++paintCount_;
  if (!player_) return true;
  paintRect_ = r;
  try {
    player_->HandlePaint();
  } catch (...) {
    paintRect_ = {};
    throw;
  }
  paintRect_ = {};
  return true;
}

void THeadlessPlayerHost::Present(const TBitmap& backBuffer) {
  // Like a window's paint, only the area being painted changes on screen.
  const TRect all{0, 0, clientWidth_, clientHeight_};
  const TRect r = paintRect_.IsEmpty() ? all : Intersect(paintRect_, all);
  if (presenter_)
    presenter_(backBuffer, r);
  else
    screen_.Canvas().CopyRect(r, backBuffer.Canvas(), r);
}

void THeadlessPlayerHost::PostAnimationDone() {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back({true, nullptr});
  }
  sent_.Wake();
}

void THeadlessPlayerHost::Post(std::function<void()> call) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back({false, std::move(call)});
  }
  sent_.Wake();
}

void THeadlessPlayerHost::Send(const std::function<void()>& call) {
  sent_.Send(call);
}

void THeadlessPlayerHost::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  sent_.Wake();
}

bool THeadlessPlayerHost::DispatchPendingAnimationDone() {
  TPosted message;
  {
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(posted_.begin(), posted_.end(),
                                 [](const TPosted& m) { return m.AnimationDone; });
    if (it == posted_.end()) return false;
    message = std::move(*it);
    posted_.erase(it);
  }
  Dispatch(message);
  return true;
}

void THeadlessPlayerHost::Dispatch(TPosted& message) {
  if (!message.AnimationDone)
    message.Call();
  else if (player_)
    player_->HandleAnimationDone();
}

bool THeadlessPlayerHost::ProcessOne() {
  if (sent_.ServeOne()) return true;
  TPosted message;
  bool havePosted = false;
  {
    std::lock_guard lock(mutex_);
    if (!posted_.empty()) {
      message = std::move(posted_.front());
      posted_.pop_front();
      havePosted = true;
    }
  }
  if (havePosted) {
    Dispatch(message);
    return true;
  }
  // As on a real window, an update is painted only when no message waits.
  return PaintIfPending();
}

void THeadlessPlayerHost::ProcessMessages() {
  while (ProcessOne()) {
  }
}

bool THeadlessPlayerHost::HasMessageOrWake() const {
  std::lock_guard lock(mutex_);
  return !posted_.empty() || (windowExists_ && !update_.IsEmpty()) || woken_;
}

bool THeadlessPlayerHost::WaitForWork(std::chrono::steady_clock::time_point deadline) {
  if (!sent_.WaitUntil(deadline, [this] { return HasMessageOrWake(); })) return false;
  // Clearing the wake-up only now loses none: the caller tests its condition from here on.
  std::lock_guard lock(mutex_);
  woken_ = false;
  return true;
}

void THeadlessPlayerHost::WaitMessage(std::chrono::milliseconds timeout) {
  WaitForWork(std::chrono::steady_clock::now() + timeout);
}

void THeadlessPlayerHost::WaitServingSends(const std::function<bool()>& done) {
  // The thread that makes done() true posts afterwards, and every post wakes the queue.
  sent_.WaitServing(done);
}

bool THeadlessPlayerHost::RunUntil(const std::function<bool()>& condition,
                                   std::chrono::milliseconds guard) {
  const auto deadline = std::chrono::steady_clock::now() + guard;
  for (;;) {
    while (ProcessOne())
      if (condition()) return true;
    if (condition()) return true;
    if (!WaitForWork(deadline)) return condition();
  }
}

void THeadlessPlayerHost::DestroyWindow() {
  if (!windowExists_) return;
  if (player_) player_->HandleDestroy();
  windowExists_ = false;
  std::lock_guard lock(mutex_);
  update_ = {};
}

}  // namespace kestrava
