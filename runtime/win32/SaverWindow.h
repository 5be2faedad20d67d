#pragma once

// The saver's window: a topmost popup over the whole virtual screen (/s) with the show at the
// primary monitor's place and the other monitors black, or a child of the Screen Saver Settings'
// miniature (/p) with the show scaled into it. It shows the latest frame, also on WM_PAINT, and
// tells when the user's action or the parent's end calls the saver off.

#include <windows.h>

#include "raster/Bitmap.h"
#include "runtime/core/QuitRule.h"

namespace kestrava {

class TSaverWindow {
 public:
  // Full screen: the wake-up actions of quitMode end the saver.
  explicit TSaverWindow(int quitMode);
  // Preview inside parent: no input of its own; it ends with the parent.
  explicit TSaverWindow(HWND parent);
  ~TSaverWindow();
  TSaverWindow(const TSaverWindow&) = delete;
  TSaverWindow& operator=(const TSaverWindow&) = delete;

  // The size the show is made at: the primary monitor's, or the preview window's.
  int ShowWidth() const { return showWidth_; }
  int ShowHeight() const { return showHeight_; }

  // Puts the frame on the window; it stays there for WM_PAINT until the next one.
  void Show(const TBitmap& frame);
  // Handles the waiting messages, waiting up to waitMs for one first. False once the saver ends.
  bool Pump(DWORD waitMs);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // pointer: where the pointer is as the saver starts.
  TSaverWindow(int quitMode, POINT pointer);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc) const;
  void UserAction(TUserAction action, int x = 0, int y = 0);

  HWND window_ = nullptr;
  HWND parent_ = nullptr;
  TQuitRule rule_;
  bool sawFirstMove_ = false;
  bool ended_ = false;
  int showWidth_ = 0, showHeight_ = 0;
  POINT showAt_{};  // where the primary monitor's top left is in the window
  const TBitmap* frame_ = nullptr;
};

}  // namespace kestrava
