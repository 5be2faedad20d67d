#pragma once

// The transition player on a window of its own making: the slide show hands it pictures and
// styles, the player makes every frame with its default Step and Delay, and the saver shows what
// it painted. Either the player's thread runs a transition on its own clock, or the caller drives
// it frame by frame (the frame dump's fixed clock).

#include <chrono>
#include <cstdint>
#include <utility>

#include "raster/Bitmap.h"
#include "transitions/HeadlessPlayerHost.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava {

class TSlideStage {
 public:
  TSlideStage(int width, int height);
  ~TSlideStage();
  TSlideStage(const TSlideStage&) = delete;
  TSlideStage& operator=(const TSlideStage&) = delete;

  // Shows the picture at once, without a transition. Ends a running transition first.
  void Cut(const TBitmap& picture);
  // Starts the transition from what is on show to the picture. Threaded: the player's thread
  // makes the frames (Pump shows them); manual: SetProgress makes them.
  void Begin(int style, const TBitmap& picture, bool manual);
  // Manual transitions: makes and paints the frame for the progress (1..100).
  void SetProgress(int progress);
  // Manual transitions: ends the transition, keeping the last frame on show.
  void Finish();
  bool Busy() const { return player_.Busy(); }

  // Serves the player's thread (its frames to paint, its end), waiting up to `wait` for it.
  void Pump(std::chrono::milliseconds wait);
  // Frames go to a window's pixels as they are painted, instead of into Screen().
  void PresentTo(THeadlessPlayerHost::TPresenter presenter) {
    host_.PresentTo(std::move(presenter));
  }
  // Paints everything again at the next Pump: the window lost what it showed.
  void Repaint() { host_.Invalidate({0, 0, host_.ClientWidth(), host_.ClientHeight()}); }
  // What the window shows, and how many times it has been painted.
  const TBitmap& Screen() const { return host_.Screen(); }
  int PaintCount() const { return host_.PaintCount(); }

  // The pause between two frames of a threaded transition (40 ms unless changed).
  void SetDelay(uint16_t milliseconds) { player_.SetDelay(milliseconds); }

 private:
  THeadlessPlayerHost host_;
  TTransitionPlayer player_;
};

}  // namespace kestrava
