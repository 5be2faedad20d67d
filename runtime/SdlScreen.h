#pragma once

// The saver's window: full screen, or an X window it was given, showing frames and telling when
// the user's action ends the saver.

#include <SDL.h>

#include <cstdint>

#include "raster/Bitmap.h"

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
  void Show(const TBitmap& frame);
  // Handles the pending events; true when the saver must end: the window closed (Alt+F4, the
  // window manager), or the action quitMode names (1 mouse move, 2 click, 3 key, 4 any, 5 none).
  bool ShouldQuit(int quitMode);

 private:
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int width_ = 0, height_ = 0;
  int startX_ = -1, startY_ = -1;
};

}  // namespace kestrava
