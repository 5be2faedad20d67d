#include "transitions/TransitionPlayer.h"

#include <algorithm>
#include <chrono>
#include <exception>

#include "raster/MulDiv.h"
#include "raster/Region.h"
#include "transitions/FrameComposition.h"

namespace kestrava {

namespace {

// What a frame shows over the fresh copy of the old screen: the new picture at 100, nothing more
// at 0, the style's effect in between (or the custom drawing for style 0).
void DrawFrameContent(TTransitionStyle style, const TBitmap& picture, const TRect& r, uint16_t step,
                      int progress, TBitmap& frame, const std::function<void()>& customDraw) {
  if (progress >= 100) {
    frame.Canvas().Draw(0, 0, picture);
  } else if (progress > 0) {
    if (style == 0) {
      if (customDraw) customDraw();
    } else if (style <= kMaxTransitionStyle && EffectTable[style].Proc) {
      EffectTable[style].Proc(frame, picture, r, step, progress);
    }
  }
}

// Whether the frame can skip the copy of the old image: a style that is nothing but a reveal
// through a region, at a progress where it draws, on bitmaps the one-pass composition takes.
bool ComposesInOnePass(TTransitionStyle style, int progress, const TBitmap& oldScreen,
                       const TBitmap& picture, const TBitmap& frame) {
  return progress > 0 && progress < 100 && style >= 1 && style <= kMaxTransitionStyle &&
         EffectTable[style].RevealRegion && CanComposeThroughRegion(frame, oldScreen, picture);
}

void ComposeFrame(TTransitionStyle style, const TBitmap& oldScreen, const TBitmap& picture,
                  const TRect& r, uint16_t step, int progress, TBitmap& frame) {
  ComposeThroughRegion(frame, oldScreen, picture,
                       EffectTable[style].RevealRegion(r, step, progress));
}

}  // namespace

void MakeTransitionFrame(TTransitionStyle style, const TBitmap& oldScreen,
                         const TBitmap& newPicture, uint16_t step, int progress, TBitmap& frame) {
  const bool wide = IsPixelArithmeticStyle(style);
  const TBitmap* picture = &newPicture;
  TBitmap converted;
  if (wide && newPicture.PixelFormat() != TPixelFormat::pf32bit) {
    converted = newPicture;
    converted.SetPixelFormat(TPixelFormat::pf32bit);
    picture = &converted;
  }
  frame.SetPixelFormat(wide ? TPixelFormat::pf32bit : TPixelFormat::pfDevice);
  frame.SetSize(newPicture.Width(), newPicture.Height());
  const TRect r{0, 0, newPicture.Width(), newPicture.Height()};
  if (ComposesInOnePass(style, progress, oldScreen, *picture, frame)) {
    ComposeFrame(style, oldScreen, *picture, r, step, progress, frame);
    return;
  }
  frame.Canvas().Draw(0, 0, oldScreen);
  DrawFrameContent(style, *picture, r, step, progress, frame, nullptr);
}

TRect FitRect(const TRect& A, const TRect& B) {
  // A shapeless rectangle has no proportions to keep.
  if (A.Width() <= 0 || A.Height() <= 0) return B;
  int width, height;
  if (double(B.Height()) / A.Height() > double(B.Width()) / A.Width()) {
    width = B.Width();
    height = MulDiv(A.Height(), B.Width(), A.Width());
  } else {
    width = MulDiv(A.Width(), B.Height(), A.Height());
    height = B.Height();
  }
  return TRect{0, 0, width, height}.Offset(B.Left + (B.Width() - width) / 2,
                                           B.Top + (B.Height() - height) / 2);
}

TCustomTransitionPlayer::TCustomTransitionPlayer(ITransitionPlayerHost& host) : host_(host) {
  picture_.OnChange = [this] { PictureChanged(); };
  bgPicture_.OnChange = [this] { BgPictureChanged(); };
  host_.Attach(this);
}

TCustomTransitionPlayer::~TCustomTransitionPlayer() {
  BeforeDestruction();
  host_.Attach(nullptr);
}

void TCustomTransitionPlayer::BeforeDestruction() {
  destroying_ = true;
  try {
    Stop();
  } catch (...) {
    // Nothing can be reported from a destructor; the transition is over either way.
  }
}

// Operations

void TCustomTransitionPlayer::Execute() {
  if (!picture_.HasGraphic() || busy_) return;
  busy_ = true;
  try {
    host_.CreateWindowIfNeeded();
    Prepare();
    if (!manual_ && !Stopping) Animate();
  } catch (...) {
    NewPicture.reset();
    OldScreen.reset();
    busy_ = false;
    throw;
  }
}

void TCustomTransitionPlayer::Stop() {
  if (!busy_ || Stopping) return;
  Stopping = true;
  try {
    // With a thread, Finish has already run while StopThread dispatched its done message.
    if (manual_ || !StopThread()) Finish();
  } catch (...) {
    Stopping = false;
    throw;
  }
  Stopping = false;
}

void TCustomTransitionPlayer::Clear() {
  if (busy_ || FrameBitmap.Empty()) return;
  {
    TCanvasLock lock(FrameBitmap.Canvas());
    FrameBitmap = TBitmap();
  }
  InvalidateControl();
}

void TCustomTransitionPlayer::Prepare() {
  W = picture_.Width();
  H = picture_.Height();
  FrameBitmap.SetSize(W, H);
  UpdatePicRect();

  const TRect client = ClientRect();
  const TRect picRect = CurrentPicRect();
  const TRect source = !stretch_ ? picRect : stretchFine_ ? FitRect(picRect, client) : client;
  OldScreen = std::make_unique<TBitmap>();
  OldScreen->Canvas().Brush.Color = color_;
  OldScreen->SetSize(W, H);
  // A new bitmap starts in its brush colour: where the client area does not reach, the old
  // screen shows the background colour.
  OldScreen->Canvas().FillRect({0, 0, W, H});
  if (FirstPaintPending || !overDraw_) PaintBackground(BackBuffer.Canvas(), client);
  OldScreen->Canvas().CopyRect({0, 0, W, H}, BackBuffer.Canvas(), source);

  NewPicture = std::make_unique<TBitmap>();
  try {
    *NewPicture = picture_.Graphic();
  } catch (const std::exception&) {
    NewPicture->SetSize(W, H);
    NewPicture->Canvas().Draw(0, 0, picture_.Graphic());
  }
  if (IsPixelArithmeticStyle(style_)) {
    NewPicture->SetPixelFormat(TPixelFormat::pf32bit);
    FrameBitmap.SetPixelFormat(TPixelFormat::pf32bit);
  } else {
    FrameBitmap.SetPixelFormat(TPixelFormat::pfDevice);
  }
  progress_ = reverse_ ? 100 : 0;
  DoStart(*NewPicture, *OldScreen);
}

void TCustomTransitionPlayer::Animate() {
  if (!threaded_) {
    RunAnimationLoop();
    return;
  }
  // No frame of this run waits to be shown yet; a thread that ended by an exception may have
  // left the event reset.
  FrameEvent.Set();
  auto thread = std::make_unique<TAnimateThread>(*this);
  thread->SetPriority(threadPriority_);
  thread->Start();
  Thread = std::move(thread);
  ++threadSerial_;
}

void TCustomTransitionPlayer::RunAnimationLoop() {
  bool done = false;
  do {
    const uint32_t t0 = TickCount();
    if (AdvanceProgress()) {
      done = !manual_;
    } else {
      // Serve the window until the frame's time is up; waiting for a message instead of
      // spinning keeps the processor free, and any message is served as soon as it comes.
      for (;;) {
        host_.ProcessMessages();
        if (manual_ || Stopping) break;
        const uint32_t elapsed = TickCount() - t0;
        if (elapsed > delay_) break;
        host_.WaitMessage(std::chrono::milliseconds(delay_ - elapsed + 1));
      }
    }
  } while (!done && !manual_ && !Stopping && busy_);
  // A Stop served while messages were pumped has already finished the transition.
  if (!busy_) return;
  if (Stopping || !manual_) Finish();
}

bool TCustomTransitionPlayer::AdvanceProgress() {
  const bool reverse = reverse_;
  const int step = step_;
  const int progress = progress_;
  int next;
  if (!reverse)
    next = 100 - step > progress ? progress + step : 100;
  else
    next = progress > step ? progress - step : 0;
  SetProgress(next);
  return reverse ? progress_ == 0 : progress_ == 100;
}

void TCustomTransitionPlayer::SetProgress(int value) {
  const auto v = uint8_t(std::clamp(value, 0, 100));
  if (!busy_ || v == progress_) return;
  {
    std::lock_guard lock(FrameLock);
    progress_ = v;
    MakeFrame();
  }
  // From the animation thread this blocks until the UI thread has painted; the painting sets
  // FrameEvent.
  if (host_.UpdatePending())
    host_.UpdateNow();
  else
    FrameEvent.Set();
  DoProgress();
}

void TCustomTransitionPlayer::MakeFrame() {
  TCanvasLock pictureLock(NewPicture->Canvas());
  TCanvasLock frameLock(FrameBitmap.Canvas());
  const TRect R{0, 0, W, H};
  // Without a handler that wants to see the fresh old image, a reveal through a region makes
  // the same frame in one pass.
  if (!OnBeforeNewFrame &&
      ComposesInOnePass(style_, progress_, *OldScreen, *NewPicture, FrameBitmap)) {
    TCanvasLock oldLock(OldScreen->Canvas());
    ComposeFrame(style_, *OldScreen, *NewPicture, R, step_, progress_, FrameBitmap);
  } else {
    {
      TCanvasLock oldLock(OldScreen->Canvas());
      FrameBitmap.Canvas().Draw(0, 0, *OldScreen);
    }
    if (OnBeforeNewFrame) DoBeforeNewFrame(*NewPicture, FrameBitmap);
    DrawFrameContent(style_, *NewPicture, R, step_, progress_, FrameBitmap,
                     [this] { DoCustomDraw(*NewPicture, FrameBitmap); });
  }
  InvalidateFrameRect(R);
  if (OnAfterNewFrame) DoAfterNewFrame(*NewPicture, FrameBitmap);
}

void TCustomTransitionPlayer::InvalidateFrameRect(const TRect& A) {
  const TRect picRect = CurrentPicRect();
  TRect r;
  if (stretch_) {
    const TRect client = ClientRect();
    const TRect D = stretchFine_ ? FitRect(picRect, client) : client;
    r.Left = D.Left + MulDiv(A.Left, D.Width(), picRect.Width());
    r.Right = D.Left + MulDiv(A.Right, D.Width(), picRect.Width());
    r.Top = D.Top + MulDiv(A.Top, D.Height(), picRect.Height());
    r.Bottom = D.Top + MulDiv(A.Bottom, D.Height(), picRect.Height());
  } else {
    r = center_ ? A.Offset(picRect.Left, picRect.Top) : A;
    r = Intersect(r, picRect);
  }
  if (host_.WindowExists()) host_.Invalidate(r);
}

void TCustomTransitionPlayer::Finish() {
  busy_ = false;
  NewPicture.reset();
  OldScreen.reset();
  if (destroying_) return;
  if (!Stopping) DoComplete();
  DoStop();
}

bool TCustomTransitionPlayer::StopThread() {
  if (!Thread) return false;
  TAnimateThread& thread = *Thread;
  const uint64_t serial = threadSerial_;
  thread.Terminate();
  FrameEvent.Set();
  host_.WaitServingSends([&thread] { return thread.Finished(); });
  thread.WaitFor();
  // A handler run by the done message may start the next thread; that one is left alone.
  const auto stillThisThread = [&] { return Thread && threadSerial_ == serial; };
  if (thread.Started())
    while (stillThisThread() && host_.DispatchPendingAnimationDone()) {
    }
  // A thread that never ran posted nothing: its message is handled as if sent.
  if (stillThisThread()) HandleAnimationDone();
  return true;
}

void TCustomTransitionPlayer::SetManual(bool value) {
  if (value == manual_) return;
  manual_ = value;
  StopThread();
  if (!busy_)
    progress_ = reverse_ ? 100 : 0;
  else if (!manual_)
    Animate();
}

// Window messages

void TCustomTransitionPlayer::HandlePaint() {
  if (Painting) return;
  Painting = true;
  try {
    Paint();
  } catch (...) {
    FrameEvent.Set();
    Painting = false;
    throw;
  }
  FrameEvent.Set();
  Painting = false;
}

void TCustomTransitionPlayer::HandleResize(int clientWidth, int clientHeight) {
  {
    TCanvasLock lock(BackBuffer.Canvas());
    BackBuffer.SetSize(std::max(clientWidth, 0), std::max(clientHeight, 0));
  }
  if (!picture_.HasGraphic()) return;
  UpdatePicRect();
  if (!FrameBitmap.Empty() && !Painting) InvalidateControl();
}

void TCustomTransitionPlayer::HandleAnimationDone() {
  // A message whose thread has already been dealt with.
  if (!Thread) return;
  Thread.reset();
  if (Stopping || !manual_) Finish();
}

void TCustomTransitionPlayer::HandleDestroy() {
  Stop();
}

// Painting

void TCustomTransitionPlayer::Paint() {
  TCanvasLock backLock(BackBuffer.Canvas());
  const TRect client = ClientRect();
  TCanvasLock frameLock(FrameBitmap.Canvas());
  if (FrameBitmap.Empty()) {
    PaintBackground(BackBuffer.Canvas(), client);
  } else {
    const TRect picRect = CurrentPicRect();
    const TRect target =
        !stretch_ ? picRect : stretchFine_ ? FitRect(picRect, client) : client;
    // A frame that covers the whole client area hides the background: not painting it saves a
    // pass over every pixel of every frame.
    const TRect covered = Intersect(target, client);
    if (covered != client) PaintBackground(BackBuffer.Canvas(), client);
    if (!stretch_)
      BackBuffer.Canvas().Draw(picRect.Left, picRect.Top, FrameBitmap);
    else
      BackBuffer.Canvas().StretchDraw(target, FrameBitmap);
  }
  host_.Present(BackBuffer);
  FirstPaintPending = false;
}

void TCustomTransitionPlayer::PaintBackground(TCanvas& canvas, const TRect& rect) {
  canvas.Brush.Color = color_;
  canvas.FillRect(rect);
  if (!bgPicture_.HasGraphic()) return;
  const TBitmap& graphic = bgPicture_.Graphic();
  switch (bgMode_) {
    case TBackgroundMode::bmTiled:
      TilePicture(canvas, rect, graphic);
      break;
    case TBackgroundMode::bmStretched:
      canvas.StretchDraw(rect, graphic);
      break;
    case TBackgroundMode::bmCentered:
      // Measured from the canvas origin, not from the rectangle's corner.
      canvas.Draw((rect.Width() - graphic.Width()) / 2, (rect.Height() - graphic.Height()) / 2,
                  graphic);
      break;
    case TBackgroundMode::bmNone:
      break;
  }
}

void TCustomTransitionPlayer::TilePicture(TCanvas& canvas, const TRect& rect,
                                          const TBitmap& graphic) {
  const int rows = rect.Height() / graphic.Height();
  const int columns = rect.Width() / graphic.Width();
  // One more row and column than fit whole, for the partial tiles at the far edges.
  for (int i = 0; i <= rows; ++i)
    for (int j = 0; j <= columns; ++j)
      canvas.Draw(rect.Left + j * graphic.Width(), rect.Top + i * graphic.Height(), graphic);
}

// Properties

std::string TCustomTransitionPlayer::StyleName() const {
  return std::string(StyleNameOf(style_));
}

void TCustomTransitionPlayer::SetStyleName(std::string_view name) {
  if (const auto style = StyleFromName(name)) SetStyle(*style);
}

void TCustomTransitionPlayer::SetStyle(TTransitionStyle value) {
  if (value > kMaxTransitionStyle || value == style_) return;
  // Converted before the style is stored, so that no frame of the new style meets the old
  // format; effects of the other styles draw into any format.
  if (busy_ && NewPicture && !IsPixelArithmeticStyle(style_) && IsPixelArithmeticStyle(value)) {
    {
      TCanvasLock lock(NewPicture->Canvas());
      NewPicture->SetPixelFormat(TPixelFormat::pf32bit);
    }
    {
      TCanvasLock lock(FrameBitmap.Canvas());
      FrameBitmap.SetPixelFormat(TPixelFormat::pf32bit);
    }
  }
  style_ = value;
}

void TCustomTransitionPlayer::SetStep(uint16_t value) {
  step_ = std::clamp<uint16_t>(value, 1, 100);
}

void TCustomTransitionPlayer::SetBgMode(TBackgroundMode value) {
  if (value == bgMode_) return;
  bgMode_ = value;
  if (bgPicture_.HasGraphic() && !Painting) InvalidateControl();
}

void TCustomTransitionPlayer::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  if (!picture_.HasGraphic()) return;
  UpdatePicRect();
  if (!FrameBitmap.Empty() && !Painting) InvalidateControl();
}

void TCustomTransitionPlayer::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  if (!FrameBitmap.Empty() && !Painting) InvalidateControl();
}

void TCustomTransitionPlayer::SetStretchFine(bool value) {
  if (value == stretchFine_) return;
  stretchFine_ = value;
  if (!FrameBitmap.Empty() && !Painting) InvalidateControl();
}

void TCustomTransitionPlayer::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  if (value) AdjustClientSize();
}

void TCustomTransitionPlayer::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  InvalidateControl();
}

void TCustomTransitionPlayer::PictureChanged() {
  if (destroying_) return;
  if (picture_.HasGraphic() && autoSize_) AdjustClientSize();
  DoChange();
}

void TCustomTransitionPlayer::BgPictureChanged() {
  if (bgMode_ != TBackgroundMode::bmNone && !Painting) InvalidateControl();
}

void TCustomTransitionPlayer::AdjustClientSize() {
  if (!picture_.HasGraphic() || align_ == TAlign::alClient) return;
  int width = host_.ClientWidth();
  int height = host_.ClientHeight();
  switch (align_) {
    case TAlign::alTop:
    case TAlign::alBottom:
      height = picture_.Height();
      break;
    case TAlign::alLeft:
    case TAlign::alRight:
      width = picture_.Width();
      break;
    default:
      width = picture_.Width();
      height = picture_.Height();
      break;
  }
  host_.SetClientSize(width, height);
}

void TCustomTransitionPlayer::UpdatePicRect() {
  if (FrameBitmap.Empty()) return;
  TRect r{0, 0, FrameBitmap.Width(), FrameBitmap.Height()};
  // Division truncates toward zero: a picture larger than the client gets negative offsets.
  if (center_)
    r = r.Offset((host_.ClientWidth() - r.Right) / 2, (host_.ClientHeight() - r.Bottom) / 2);
  std::lock_guard lock(picRectLock_);
  PicRect = r;
}

TRect TCustomTransitionPlayer::ClientRect() const {
  return {0, 0, host_.ClientWidth(), host_.ClientHeight()};
}

TRect TCustomTransitionPlayer::CurrentPicRect() const {
  std::lock_guard lock(picRectLock_);
  return PicRect;
}

void TCustomTransitionPlayer::InvalidateControl() {
  if (host_.WindowExists()) host_.Invalidate(ClientRect());
}

// Events

void TCustomTransitionPlayer::DoChange() {
  if (OnChange) OnChange(*this);
}

void TCustomTransitionPlayer::DoProgress() {
  if (OnProgress) OnProgress(*this);
}

void TCustomTransitionPlayer::DoCustomDraw(TBitmap& picture, TBitmap& screen) {
  if (OnCustomDraw) OnCustomDraw(*this, picture, screen);
}

void TCustomTransitionPlayer::DoBeforeNewFrame(TBitmap& picture, TBitmap& screen) {
  if (OnBeforeNewFrame) OnBeforeNewFrame(*this, picture, screen);
}

void TCustomTransitionPlayer::DoAfterNewFrame(TBitmap& picture, TBitmap& screen) {
  if (OnAfterNewFrame) OnAfterNewFrame(*this, picture, screen);
}

void TCustomTransitionPlayer::DoComplete() {
  if (OnComplete) OnComplete(*this);
}

void TCustomTransitionPlayer::DoStart(TBitmap& picture, TBitmap& screen) {
  if (OnStart) OnStart(*this, picture, screen);
}

void TCustomTransitionPlayer::DoStop() {
  if (OnStop) OnStop(*this);
}

}  // namespace kestrava
