#pragma once

// Which of the user's actions end the saver, by the quit mode stored in the saver file.

namespace kestrava {

enum class TUserAction {
  PointerMoved,   // with the pointer's position on the screen
  ButtonPressed,  // any mouse button
  KeyPressed,     // any key but Alt+F4
  AltF4,
  WindowClosed,   // by the window manager
};

class TQuitRule {
 public:
  // A pointer that drifts by a few pixels (a table knocked) does not wake the screen.
  static constexpr int kMoveTolerance = 10;

  // quitMode: 1 mouse move, 2 mouse click, 3 key press, 4 any of these, 5 none of them (only
  // Alt+F4 and closing the window end every saver). startX/startY: where the pointer was when
  // the saver started.
  TQuitRule(int quitMode, int startX, int startY);

  bool Ends(TUserAction action, int x = 0, int y = 0) const;

 private:
  bool onMove_, onClick_, onKey_;
  int startX_, startY_;
};

}  // namespace kestrava
