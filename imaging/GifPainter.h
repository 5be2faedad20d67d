#pragma once

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "imaging/GifClock.h"
#include "imaging/GifPainterHost.h"

namespace kestrava {

class TGifAnimator;
class TGifFrame;

// A frame's delay in hundredths of a second as the painter plays it: that of its graphic control,
// 10 when it has none or it is 0, and at least 3.
int GifFrameDelay(const TGifFrame& frame);
// Milliseconds to wait after a frame of that delay: one hundredth is 12 milliseconds at speed 100;
// lateness, how much longer than planned the previous step took, is half made up.
int GifFrameWait(int delay, int lateness, int speed);

// The thread that plays an animation. It keeps time itself and hands every drawing step to the
// UI thread through the host; it reads nothing of the picture but the plan it was given.
class TGifPainter {
 public:
  struct TPlan {
    int FrameCount = 0;  // frames that play, from index 0
    int LoopStart = 0;   // where each pass after the first begins
    int Passes = 1;      // 0: without end
    int Speed = 100;
    std::vector<int> Delays;  // GifFrameDelay of each frame
  };

  // show(i) draws frame i; it runs on the UI thread.
  TGifPainter(IGifPainterHost& host, IGifClock& clock, TPlan plan, std::function<void(int)> show);
  // Stops the thread and waits for it: the UI thread must have waited for Finished first
  // (WaitFor), or the thread may still want a step served.
  ~TGifPainter();
  TGifPainter(const TGifPainter&) = delete;
  TGifPainter& operator=(const TGifPainter&) = delete;

  void Start();
  // Any thread: the painter ends at its next step, waking from its wait.
  void Stop();
  // UI thread: waits for the thread to end, serving its steps meanwhile.
  void WaitFor();
  bool FirstShown() const { return firstShown_; }
  bool Finished() const { return finished_; }

 private:
  void Execute();

  IGifPainterHost& host_;
  IGifClock& clock_;
  const TPlan plan_;
  const std::function<void(int)> show_;
  TGifStopSignal stop_;
  std::atomic<bool> firstShown_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace kestrava
