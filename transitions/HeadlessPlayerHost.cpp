#include "transitions/HeadlessPlayerHost.h"

#include <algorithm>
#include <utility>

#include "raster/Canvas.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava {

namespace {

TRect Union(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

}  // namespace

THeadlessPlayerHost::THeadlessPlayerHost(int clientWidth, int clientHeight)
    : uiThread_(std::this_thread::get_id()),
      clientWidth_(std::max(clientWidth, 0)),
      clientHeight_(std::max(clientHeight, 0)) {}

THeadlessPlayerHost::~THeadlessPlayerHost() = default;

void THeadlessPlayerHost::Attach(TCustomTransitionPlayer* player) {
  player_ = player;
}

void THeadlessPlayerHost::CreateWindowIfNeeded() {
  if (windowExists_) return;
  screen_.SetSize(clientWidth_, clientHeight_);
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
  screen_.SetSize(width, height);
  // The whole window is redrawn after a size change.
  InvalidateAll();
  if (player_) player_->HandleResize(width, height);
}

void THeadlessPlayerHost::Invalidate(const TRect& rect) {
  if (!windowExists_) return;
  const TRect r = Intersect(rect.Normalized(), {0, 0, clientWidth_, clientHeight_});
  if (r.IsEmpty()) return;
  {
    std::lock_guard lock(mutex_);
    update_ = Union(update_, r);
  }
  work_.notify_all();
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
  const TRect all{0, 0, screen_.Width(), screen_.Height()};
  const TRect r = paintRect_.IsEmpty() ? all : Intersect(paintRect_, all);
  screen_.Canvas().CopyRect(r, backBuffer.Canvas(), r);
}

void THeadlessPlayerHost::PostAnimationDone() {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back({true, nullptr});
  }
  work_.notify_all();
}

void THeadlessPlayerHost::Post(std::function<void()> call) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back({false, std::move(call)});
  }
  work_.notify_all();
}

void THeadlessPlayerHost::Send(const std::function<void()>& call) {
  if (IsUiThread()) {
    call();
    return;
  }
  TSent sent;
  sent.Call = &call;
  std::unique_lock lock(mutex_);
  sent_.push_back(&sent);
  work_.notify_all();
  served_.wait(lock, [&sent] { return sent.Done; });
  if (sent.Error) std::rethrow_exception(sent.Error);
}

void THeadlessPlayerHost::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  work_.notify_all();
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

bool THeadlessPlayerHost::ServeOneSent() {
  TSent* sent;
  {
    std::lock_guard lock(mutex_);
    if (sent_.empty()) return false;
    sent = sent_.front();
    sent_.pop_front();
  }
  std::exception_ptr error;
  try {
    (*sent->Call)();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard lock(mutex_);
    sent->Error = error;
    sent->Done = true;
  }
  served_.notify_all();
  return true;
}

bool THeadlessPlayerHost::ProcessOne() {
  if (ServeOneSent()) return true;
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

bool THeadlessPlayerHost::HasWorkLocked() const {
  return !sent_.empty() || !posted_.empty() || (windowExists_ && !update_.IsEmpty());
}

void THeadlessPlayerHost::WaitMessage(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  work_.wait_for(lock, timeout, [this] { return HasWorkLocked() || woken_; });
  woken_ = false;
}

void THeadlessPlayerHost::WaitServingSends(const std::function<bool()>& done) {
  for (;;) {
    while (ServeOneSent()) {
    }
    std::unique_lock lock(mutex_);
    // done() is tested under the lock: the thread that makes it true posts afterwards, and the
    // post needs the lock, so its wake-up cannot slip in between the test and the wait.
    work_.wait(lock, [&] { return !sent_.empty() || done(); });
    if (sent_.empty()) return;
  }
}

bool THeadlessPlayerHost::RunUntil(const std::function<bool()>& condition,
                                   std::chrono::milliseconds guard) {
  const auto deadline = std::chrono::steady_clock::now() + guard;
  for (;;) {
    while (ProcessOne())
      if (condition()) return true;
    if (condition()) return true;
    std::unique_lock lock(mutex_);
    if (!work_.wait_until(lock, deadline, [this] { return HasWorkLocked() || woken_; })) {
      lock.unlock();
      return condition();
    }
    woken_ = false;
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
