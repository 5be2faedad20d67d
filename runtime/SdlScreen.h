#pragma once

// The saver's window: full screen, or an X window it was given, showing frames and telling when
// the user's action ends the saver.

#include <SDL.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "raster/Bitmap.h"
#include "raster/Rect.h"

namespace kestrava {

class TSdlScreen {
 public:
  // windowId 0 with inWindow false: a full-screen window of its own. Throws std::runtime_error.
  TSdlScreen(bool inWindow, uint64_t windowId, bool root);
  ~TSdlScreen();
  TSdlScreen(const TSdlScreen&) = delete;
  TSdlScreen& operator=(const TSdlScreen&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Copies the area of the frame into the window's pixels; Flush shows it.
  void Paint(const TBitmap& frame, const TRect& area);
  // Sends what was painted since the last Flush to the screen; nothing when nothing was.
  void Flush();
  // A whole frame, shown at once.
  void Show(const TBitmap& frame);
  // The window was resized and lost its pixels: the caller paints everything again. Cleared by
  // reading it.
  bool TakeRepaint() { return std::exchange(repaint_, false); }
  // Handles the pending events; true when the saver must end: the window closed (Alt+F4, the
  // window manager), or the action quitMode names (1 mouse move, 2 click, 3 key, 4 any, 5 none).
  bool ShouldQuit(int quitMode);

 private:
  // The window's pixels, again after a size change; black until painted.
  void TakeSurface();

  SDL_Window* window_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  // The show's size, and where each monitor of the window shows it.
  int width_ = 0, height_ = 0;
  std::vector<TRect> targets_;
  TRect damage_;
  bool repaint_ = false;
  int startX_ = -1, startY_ = -1;
};

}  // namespace kestrava
