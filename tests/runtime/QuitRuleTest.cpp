#include <gtest/gtest.h>

#include "runtime/core/QuitRule.h"

namespace kestrava {
namespace {

TEST(QuitRule, EachModeEndsOnItsOwnActionsOnly) {
  using A = TUserAction;
  struct Case {
    int mode;
    bool move, click, key;
  };
  // 1 mouse move, 2 mouse click, 3 key press, 4 any, 5 none; out-of-range modes end on nothing
  // but what ends every saver.
  const Case cases[] = {{1, true, false, false}, {2, false, true, false}, {3, false, false, true},
                        {4, true, true, true},   {5, false, false, false}, {0, false, false, false},
                        {6, false, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    const TQuitRule rule(c.mode, 500, 300);
    EXPECT_EQ(rule.Ends(A::PointerMoved, 560, 340), c.move);
    EXPECT_EQ(rule.Ends(A::ButtonPressed), c.click);
    EXPECT_EQ(rule.Ends(A::KeyPressed), c.key);
    EXPECT_TRUE(rule.Ends(A::AltF4));
    EXPECT_TRUE(rule.Ends(A::WindowClosed));
  }
}

TEST(QuitRule, APointerThatOnlyDriftsDoesNotWake) {
  const TQuitRule rule(1, 500, 300);
  const int tolerance = TQuitRule::kMoveTolerance;
  EXPECT_FALSE(rule.Ends(TUserAction::PointerMoved, 500, 300));
  EXPECT_FALSE(rule.Ends(TUserAction::PointerMoved, 500 + tolerance, 300 - tolerance));
  EXPECT_TRUE(rule.Ends(TUserAction::PointerMoved, 500 + tolerance + 1, 300));
  EXPECT_TRUE(rule.Ends(TUserAction::PointerMoved, 500, 300 - tolerance - 1));
}

}  // namespace
}  // namespace kestrava
