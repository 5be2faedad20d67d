#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include <QWidget>

#include "raster/Bitmap.h"
#include "raster/Rect.h"
#include "raster/SentCallQueue.h"
#include "transitions/PlayerHost.h"
#include "transitions/TransitionPlayer.h"

class QPainter;

namespace kestrava {

// The transition player as a Qt control: the widget is its window and owns it. The player's
// animation thread never touches the widget; what it asks of the window (painting a frame now,
// the animation-done message) is handed to the GUI thread, which serves it from its event loop,
// or while it waits for that thread to end (Stop, destruction), so neither waits for the other.
//
// The widget keeps the player's OnStop for itself: listen to TransitionDone instead.
class TTransitionPlayerWidget : public QWidget, public ITransitionPlayerHost {
  Q_OBJECT

 public:
  explicit TTransitionPlayerWidget(QWidget* parent = nullptr);
  // Stops a running transition (without its events) and waits for its thread.
  ~TTransitionPlayerWidget() override;
  TTransitionPlayerWidget(const TTransitionPlayerWidget&) = delete;
  TTransitionPlayerWidget& operator=(const TTransitionPlayerWidget&) = delete;

  TTransitionPlayer& Player();

  // ITransitionPlayerHost
  void Attach(TCustomTransitionPlayer* player) override;
  bool WindowExists() const override { return true; }
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

  bool IsGuiThread() const { return sent_.IsUiThread(); }

 signals:
  // A transition has finished, run to its end or stopped (the player's OnStop).
  void TransitionDone();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // GUI thread: the calls of other threads and the animation-done messages, as the event loop
  // delivers them.
  void ServeQueued();
  // GUI thread: paints the area the player invalidated, synchronously.
  void PaintPending();
  // GUI thread: tells the player the client size when it differs from the one it knows.
  void SyncClientSize();
  // Any thread: asks the event loop of the GUI thread to run ServeQueued.
  void WakeGuiThread();

  // The attached player; it stays attached while its destructor stops a transition, when
  // player_ already reads null.
  TCustomTransitionPlayer* attached_ = nullptr;
  std::atomic<int> clientWidth_{0};
  std::atomic<int> clientHeight_{0};
  // The client size the player was last told of.
  int widthTold_ = -1;
  int heightTold_ = -1;
  bool destroying_ = false;
  QPainter* painter_ = nullptr;  // while paintEvent runs
  bool presented_ = false;       // the player presented during the current paintEvent
  int paintEvents_ = 0;

  // The animation thread's calls (painting a frame now); made before the player, which stops
  // its thread while the queue still serves.
  TSentCallQueue sent_{[this] { WakeGuiThread(); }};
  mutable std::mutex mutex_;
  int animationDonePosted_ = 0;
  TRect update_;  // invalidated and not yet painted
  uint64_t invalidations_ = 0;
  uint64_t invalidationsAtPaint_ = 0;  // as the last paintEvent began
  bool wakePosted_ = false;

  std::unique_ptr<TTransitionPlayer> player_;
};

}  // namespace kestrava
