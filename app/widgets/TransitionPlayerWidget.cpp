#include "app/widgets/TransitionPlayerWidget.h"

#include <algorithm>
#include <utility>

#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>

#include "app/widgets/BitmapImage.h"

namespace kestrava {

namespace {

QRect ToQRect(const TRect& r) {
  return QRect(r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace

TTransitionPlayerWidget::TTransitionPlayerWidget(QWidget* parent) : QWidget(parent) {
  // The player covers every pixel itself.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A new player is 100 by 100 pixels.
  resize(100, 100);
  player_ = std::make_unique<TTransitionPlayer>(*this);
  player_->OnStop = [this](TCustomTransitionPlayer&) { emit TransitionDone(); };
  SyncClientSize();
}

TTransitionPlayerWidget::~TTransitionPlayerWidget() {
  // From here on no paint reaches the widget tree; the player is still served while its
  // destructor stops the thread.
  destroying_ = true;
  player_.reset();
}

TTransitionPlayer& TTransitionPlayerWidget::Player() {
  return *player_;
}

void TTransitionPlayerWidget::Attach(TCustomTransitionPlayer* player) {
  attached_ = player;
}

void TTransitionPlayerWidget::CreateWindowIfNeeded() {
  // The widget always exists; the player only needs to know its size.
  if (IsGuiThread()) SyncClientSize();
}

void TTransitionPlayerWidget::SyncClientSize() {
  const int w = width();
  const int h = height();
  clientWidth_ = w;
  clientHeight_ = h;
  if (w == widthTold_ && h == heightTold_) return;
  widthTold_ = w;
  heightTold_ = h;
  // The whole window is redrawn after a size change.
  Invalidate({0, 0, w, h});
  if (attached_) attached_->HandleResize(w, h);
}

void TTransitionPlayerWidget::SetClientSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (!IsGuiThread()) {
    QMetaObject::invokeMethod(
        this, [this, width, height] { SetClientSize(width, height); }, Qt::QueuedConnection);
    return;
  }
  resize(width, height);
  // A hidden widget gets its resize event only when shown; the player must know now.
  SyncClientSize();
}

void TTransitionPlayerWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SyncClientSize();
}

void TTransitionPlayerWidget::Invalidate(const TRect& rect) {
  const TRect r = Intersect(rect.Normalized(), {0, 0, clientWidth_, clientHeight_});
  if (r.IsEmpty()) return;
  {
    std::lock_guard lock(mutex_);
    update_ = Union(update_, r);
    ++invalidations_;
  }
  if (IsGuiThread())
    update(ToQRect(r));
  else
    WakeGuiThread();
}

bool TTransitionPlayerWidget::UpdatePending() const {
  std::lock_guard lock(mutex_);
  return !update_.IsEmpty();
}

void TTransitionPlayerWidget::UpdateNow() {
  if (IsGuiThread())
    PaintPending();
  else
    sent_.Send([this] { PaintPending(); });
}

void TTransitionPlayerWidget::PaintPending() {
  TRect r;
  {
    std::lock_guard lock(mutex_);
    r = update_;
  }
  if (r.IsEmpty()) return;
  const int paintsBefore = paintEvents_;
  if (!destroying_ && isVisible() && updatesEnabled()) repaint(ToQRect(r));
  if (paintEvents_ != paintsBefore) {
    // Painted as far as the widget is visible. What was invalidated after the paint began
    // (the thread's next frame) stays pending.
    std::lock_guard lock(mutex_);
    if (invalidations_ == invalidationsAtPaint_) update_ = {};
    return;
  }
  // Nothing was painted: the widget is hidden, has no backing store yet or is going away. The
  // player still composes the frame, which ends its wait for the paint; Qt shows the back
  // buffer whenever it paints the widget next.
  {
    std::lock_guard lock(mutex_);
    update_ = {};
  }
  if (attached_) attached_->HandlePaint();
  if (!destroying_ && isVisible()) update(ToQRect(r));
}

void TTransitionPlayerWidget::paintEvent(QPaintEvent* event) {
  ++paintEvents_;
  {
    // Before the player paints: the frame it lets the thread make next invalidates anew.
    std::lock_guard lock(mutex_);
    invalidationsAtPaint_ = invalidations_;
    if (!update_.IsEmpty() && (QRegion(ToQRect(update_)) - event->region()).isEmpty()) update_ = {};
  }
  QPainter painter(this);
  painter_ = &painter;
  presented_ = false;
  try {
    if (attached_) attached_->HandlePaint();
  } catch (...) {
    // An exception may not cross Qt's event dispatch; the background below stands in for a
    // frame that could not be composed.
    presented_ = false;
  }
  painter_ = nullptr;
  // The widget is opaque: whatever the player did not cover must still be painted.
  if (!presented_) painter.fillRect(event->rect(), palette().window());
}

void TTransitionPlayerWidget::Present(const TBitmap& backBuffer) {
  if (!painter_) return;
  presented_ = true;
  if (backBuffer.Empty()) {
    painter_->fillRect(rect(), palette().window());
    return;
  }
  if (backBuffer.BitsPerPixel() == 32) {
    // Blue, green, red, unused rows are RGB32 on a little-endian machine: no copy.
    const QImage frame(backBuffer.ScanLine(0), backBuffer.Width(), backBuffer.Height(),
                       qsizetype(backBuffer.Stride()), QImage::Format_RGB32);
    painter_->drawImage(0, 0, frame);
  } else {
    painter_->drawImage(0, 0, ToQImage(backBuffer));
  }
  // Between a size change and the player's resize the buffer may not reach the edges.
  const QRegion rest = QRegion(rect()) - QRect(0, 0, backBuffer.Width(), backBuffer.Height());
  for (const QRect& r : rest)
    painter_->fillRect(r, palette().window());
}

void TTransitionPlayerWidget::PostAnimationDone() {
  {
    std::lock_guard lock(mutex_);
    ++animationDonePosted_;
  }
  // Wakes WaitServingSends: the thread posts this after it has finished.
  sent_.Wake();
  WakeGuiThread();
}

bool TTransitionPlayerWidget::DispatchPendingAnimationDone() {
  {
    std::lock_guard lock(mutex_);
    if (animationDonePosted_ == 0) return false;
    --animationDonePosted_;
  }
  if (attached_) attached_->HandleAnimationDone();
  return true;
}

void TTransitionPlayerWidget::ProcessMessages() {
  sent_.ServeAll();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TTransitionPlayerWidget::WaitMessage(std::chrono::milliseconds timeout) {
  if (sent_.HasWaiting()) return;
  {
    std::lock_guard lock(mutex_);
    if (animationDonePosted_ > 0) return;
  }
  // The timer's event ends the wait if nothing else arrives first.
  QTimer timer;
  timer.setSingleShot(true);
  timer.start(std::max<std::chrono::milliseconds>(timeout, std::chrono::milliseconds(0)));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TTransitionPlayerWidget::WaitServingSends(const std::function<bool()>& done) {
  sent_.WaitServing(done);
}

void TTransitionPlayerWidget::WakeGuiThread() {
  {
    std::lock_guard lock(mutex_);
    if (wakePosted_) return;
    wakePosted_ = true;
  }
  // Queued to the widget itself: should it be destroyed first, Qt drops the call with it.
  QMetaObject::invokeMethod(
      this, [this] { ServeQueued(); }, Qt::QueuedConnection);
}

void TTransitionPlayerWidget::ServeQueued() {
  {
    std::lock_guard lock(mutex_);
    wakePosted_ = false;
  }
  sent_.ServeAll();
  // A frame the thread invalidated without asking for its paint yet.
  PaintPending();
  while (DispatchPendingAnimationDone()) {
  }
}

}  // namespace kestrava
