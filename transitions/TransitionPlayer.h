#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "raster/Color.h"
#include "raster/Rect.h"
#include "transitions/AnimateThread.h"
#include "transitions/ManualResetEvent.h"
#include "transitions/PlayerHost.h"
#include "transitions/TransitionEffects.h"
#include "transitions/TransitionPicture.h"

namespace kestrava {

enum class TBackgroundMode { bmNone, bmTiled, bmStretched, bmCentered };

// How the control is aligned in its parent; AdjustClientSize leaves aligned sides alone.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

class TCustomTransitionPlayer;

using TNotifyEvent = std::function<void(TCustomTransitionPlayer& Sender)>;
// Picture is the new picture; Screen the frame being made (OldScreen for OnStart).
using TCustomDrawEvent =
    std::function<void(TCustomTransitionPlayer& Sender, TBitmap& Picture, TBitmap& Screen)>;

// The styles drawn with arithmetic on pixel rows; they need 32-bit bitmaps.
constexpr bool IsPixelArithmeticStyle(TTransitionStyle style) {
  return style >= 118 && style <= 122;
}

// One frame of a transition, made as the player makes it: the old screen copied in, then the
// new picture at 100, nothing more at 0, otherwise the style's effect (style 0 draws nothing
// here: the player hands it to OnCustomDraw). The frame is sized to the new picture and is
// 32 bits per pixel for the pixel-arithmetic styles, a device bitmap otherwise.
void MakeTransitionFrame(TTransitionStyle style, const TBitmap& oldScreen,
                         const TBitmap& newPicture, uint16_t step, int progress, TBitmap& frame);

// The largest rectangle with A's proportions centred in B.
TRect FitRect(const TRect& A, const TRect& B);

// A control that shows one picture and replaces what it shows by a new picture through one of
// the numbered transition effects, on an animation thread or in a loop that pumps the window's
// messages. Everything runs on the host's UI thread except the frames of a threaded transition:
// the advance, SetProgress, MakeFrame, the effect and OnBeforeNewFrame, OnCustomDraw,
// OnAfterNewFrame and OnProgress then run on the animation thread.
class TCustomTransitionPlayer {
 public:
  explicit TCustomTransitionPlayer(ITransitionPlayerHost& host);
  virtual ~TCustomTransitionPlayer();
  TCustomTransitionPlayer(const TCustomTransitionPlayer&) = delete;
  TCustomTransitionPlayer& operator=(const TCustomTransitionPlayer&) = delete;

  // Runs a transition from what the control shows to Picture. Returns at once when threaded.
  virtual void Execute();
  // Ends a running or prepared transition early.
  virtual void Stop();
  // Leaves only the background on show.
  virtual void Clear();

  uint8_t Progress() const { return progress_; }
  // Makes and shows the frame for the value (above 100 taken as 100) while Busy.
  void SetProgress(int value);
  bool Busy() const { return busy_; }
  std::string StyleName() const;
  // "Custom" or an effect's name, ignoring case; a name that matches none changes nothing.
  void SetStyleName(std::string_view name);

  // The window's messages, delivered by the host on the UI thread.
  void HandlePaint();
  void HandleResize(int clientWidth, int clientHeight);
  void HandleAnimationDone();
  void HandleDestroy();

  ITransitionPlayerHost& Host() const { return host_; }

 protected:
  TTransitionStyle Style() const { return style_; }
  void SetStyle(TTransitionStyle value);
  uint16_t Step() const { return step_; }
  void SetStep(uint16_t value);
  uint16_t Delay() const { return delay_; }
  void SetDelay(uint16_t value) { delay_ = value; }
  bool Reverse() const { return reverse_; }
  void SetReverse(bool value) { reverse_ = value; }
  bool Manual() const { return manual_; }
  void SetManual(bool value);
  bool Threaded() const { return threaded_; }
  void SetThreaded(bool value) { threaded_ = value; }
  TThreadPriority ThreadPriority() const { return threadPriority_; }
  void SetThreadPriority(TThreadPriority value) { threadPriority_ = value; }
  TTransitionPicture& Picture() { return picture_; }
  const TTransitionPicture& Picture() const { return picture_; }
  void SetPicture(const TBitmap* graphic) { picture_.Assign(graphic); }
  TTransitionPicture& BgPicture() { return bgPicture_; }
  const TTransitionPicture& BgPicture() const { return bgPicture_; }
  void SetBgPicture(const TBitmap* graphic) { bgPicture_.Assign(graphic); }
  TBackgroundMode BgMode() const { return bgMode_; }
  void SetBgMode(TBackgroundMode value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool StretchFine() const { return stretchFine_; }
  void SetStretchFine(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool OverDraw() const { return overDraw_; }
  void SetOverDraw(bool value) { overDraw_ = value; }
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign value) { align_ = value; }

  TCustomDrawEvent OnStart;
  TCustomDrawEvent OnBeforeNewFrame;
  TCustomDrawEvent OnCustomDraw;
  TCustomDrawEvent OnAfterNewFrame;
  TNotifyEvent OnProgress;
  TNotifyEvent OnComplete;
  TNotifyEvent OnStop;
  TNotifyEvent OnChange;

  // Stops a transition without raising events. The animation thread calls the virtual frame
  // events, so the most derived destructor calls this first, before the object's dynamic type
  // starts to change under a running thread.
  void BeforeDestruction();

  virtual void Paint();
  virtual void PaintBackground(TCanvas& canvas, const TRect& rect);
  virtual void DoChange();
  virtual void DoProgress();
  virtual void DoCustomDraw(TBitmap& picture, TBitmap& screen);
  virtual void DoBeforeNewFrame(TBitmap& picture, TBitmap& screen);
  virtual void DoAfterNewFrame(TBitmap& picture, TBitmap& screen);
  virtual void DoComplete();
  virtual void DoStart(TBitmap& picture, TBitmap& screen);
  virtual void DoStop();

 private:
  friend class TAnimateThread;

  void Prepare();
  void Animate();
  void RunAnimationLoop();
  // Writes the next value of the advance rule; true when the end is reached.
  bool AdvanceProgress();
  void MakeFrame();
  void InvalidateFrameRect(const TRect& A);
  void Finish();
  bool StopThread();
  void PictureChanged();
  void BgPictureChanged();
  void AdjustClientSize();
  void UpdatePicRect();
  void TilePicture(TCanvas& canvas, const TRect& rect, const TBitmap& graphic);
  TRect ClientRect() const;
  TRect CurrentPicRect() const;
  // Invalidates the whole client area when the window exists.
  void InvalidateControl();

  ITransitionPlayerHost& host_;

  // Read by the animation thread while the UI thread may write them.
  std::atomic<TTransitionStyle> style_{51};
  std::atomic<uint16_t> step_{4};
  std::atomic<uint16_t> delay_{40};
  std::atomic<bool> reverse_{false};
  std::atomic<bool> manual_{false};
  std::atomic<bool> center_{false};
  std::atomic<bool> stretch_{false};
  std::atomic<bool> stretchFine_{false};
  std::atomic<uint8_t> progress_{0};
  std::atomic<bool> busy_{false};
  std::atomic<bool> Stopping{false};

  bool threaded_ = true;
  TThreadPriority threadPriority_ = TThreadPriority::tpNormal;
  TTransitionPicture picture_;
  TTransitionPicture bgPicture_;
  TBackgroundMode bgMode_ = TBackgroundMode::bmTiled;
  bool autoSize_ = true;
  bool overDraw_ = true;
  // Without a parent to take it from, the system's window colour.
  TColor color_ = clWhite;
  TAlign align_ = TAlign::alNone;

  TBitmap FrameBitmap;
  TBitmap BackBuffer;
  std::unique_ptr<TBitmap> OldScreen;
  std::unique_ptr<TBitmap> NewPicture;
  int W = 0;
  int H = 0;
  // Written on the UI thread, read by the animation thread when it invalidates a frame.
  TRect PicRect;
  mutable std::mutex picRectLock_;
  std::unique_ptr<TAnimateThread> Thread;
  // Counts the threads started, so that StopThread can tell its thread from a later one.
  uint64_t threadSerial_ = 0;
  // Recursive like the platform's critical section: a frame handler may write Progress.
  std::recursive_mutex FrameLock;
  TManualResetEvent FrameEvent{true};
  bool Painting = false;
  bool FirstPaintPending = true;
  bool destroying_ = false;
};

// The transition player with its properties and events published.
class TTransitionPlayer : public TCustomTransitionPlayer {
 public:
  using TCustomTransitionPlayer::TCustomTransitionPlayer;
  ~TTransitionPlayer() override { BeforeDestruction(); }
  TTransitionPlayer(const TTransitionPlayer&) = delete;
  TTransitionPlayer& operator=(const TTransitionPlayer&) = delete;

  using TCustomTransitionPlayer::Align;
  using TCustomTransitionPlayer::AutoSize;
  using TCustomTransitionPlayer::BgMode;
  using TCustomTransitionPlayer::BgPicture;
  using TCustomTransitionPlayer::Center;
  using TCustomTransitionPlayer::Color;
  using TCustomTransitionPlayer::Delay;
  using TCustomTransitionPlayer::Manual;
  using TCustomTransitionPlayer::OverDraw;
  using TCustomTransitionPlayer::Picture;
  using TCustomTransitionPlayer::Reverse;
  using TCustomTransitionPlayer::SetAlign;
  using TCustomTransitionPlayer::SetAutoSize;
  using TCustomTransitionPlayer::SetBgMode;
  using TCustomTransitionPlayer::SetBgPicture;
  using TCustomTransitionPlayer::SetCenter;
  using TCustomTransitionPlayer::SetColor;
  using TCustomTransitionPlayer::SetDelay;
  using TCustomTransitionPlayer::SetManual;
  using TCustomTransitionPlayer::SetOverDraw;
  using TCustomTransitionPlayer::SetPicture;
  using TCustomTransitionPlayer::SetReverse;
  using TCustomTransitionPlayer::SetStep;
  using TCustomTransitionPlayer::SetStretch;
  using TCustomTransitionPlayer::SetStretchFine;
  using TCustomTransitionPlayer::SetStyle;
  using TCustomTransitionPlayer::SetThreaded;
  using TCustomTransitionPlayer::SetThreadPriority;
  using TCustomTransitionPlayer::Step;
  using TCustomTransitionPlayer::Stretch;
  using TCustomTransitionPlayer::StretchFine;
  using TCustomTransitionPlayer::Style;
  using TCustomTransitionPlayer::Threaded;
  using TCustomTransitionPlayer::ThreadPriority;

  using TCustomTransitionPlayer::OnAfterNewFrame;
  using TCustomTransitionPlayer::OnBeforeNewFrame;
  using TCustomTransitionPlayer::OnChange;
  using TCustomTransitionPlayer::OnComplete;
  using TCustomTransitionPlayer::OnCustomDraw;
  using TCustomTransitionPlayer::OnProgress;
  using TCustomTransitionPlayer::OnStart;
  using TCustomTransitionPlayer::OnStop;
};

}  // namespace kestrava
