#include "runtime/core/QuitRule.h"

#include <cstdlib>

namespace kestrava {

TQuitRule::TQuitRule(int quitMode, int startX, int startY)
    : onMove_(quitMode == 1 || quitMode == 4),
      onClick_(quitMode == 2 || quitMode == 4),
      onKey_(quitMode == 3 || quitMode == 4),
      startX_(startX),
      startY_(startY) {}

bool TQuitRule::Ends(TUserAction action, int x, int y) const {
  switch (action) {
    case TUserAction::PointerMoved:
      return onMove_ && (std::abs(x - startX_) > kMoveTolerance ||
                         std::abs(y - startY_) > kMoveTolerance);
    case TUserAction::ButtonPressed:
      return onClick_;
    case TUserAction::KeyPressed:
      return onKey_;
    case TUserAction::AltF4:
    case TUserAction::WindowClosed:
      return true;
  }
  return false;
}

}  // namespace kestrava
