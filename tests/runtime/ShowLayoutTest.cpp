// Where the show goes on a window over one or several monitors.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/core/ShowLayout.h"

namespace kestrava {
namespace {

TEST(ShowLayout, EveryMonitorShowsTheShowFittedToItsOwnSize) {
  struct Case {
    const char* what;
    TRect window;
    std::vector<TRect> monitors;
    int showWidth, showHeight;
    std::vector<TRect> targets;
  };
  const Case cases[] = {
      {"no monitors known", {0, 0, 800, 600}, {}, 800, 600, {{0, 0, 800, 600}}},
      {"one monitor", {0, 0, 800, 600}, {{0, 0, 800, 600}}, 800, 600, {{0, 0, 800, 600}}},
      {"two alike side by side",
       {0, 0, 2560, 800},
       {{0, 0, 1280, 800}, {1280, 0, 2560, 800}},
       1280,
       800,
       {{0, 0, 1280, 800}, {1280, 0, 2560, 800}}},
      {"a smaller second monitor gets the show scaled down and centred",
       {0, 0, 1920, 800},
       {{0, 0, 1280, 800}, {1280, 0, 1920, 480}},
       1280,
       800,
       {{0, 0, 1280, 800}, {1280, 40, 1920, 440}}},
      {"the largest monitor sets the show's size, wherever it is",
       {0, 0, 1920, 800},
       {{0, 0, 640, 480}, {640, 0, 1920, 800}},
       1280,
       800,
       {{0, 40, 640, 440}, {640, 0, 1920, 800}}},
      {"a window inside one monitor (a saver's window per monitor) is that screen",
       {1280, 0, 1920, 480},
       {{0, 0, 1280, 800}, {1280, 0, 1920, 480}},
       640,
       480,
       {{0, 0, 640, 480}}},
      {"cloned outputs are one place",
       {0, 0, 1024, 768},
       {{0, 0, 1024, 768}, {0, 0, 1024, 768}},
       1024,
       768,
       {{0, 0, 1024, 768}}},
      {"monitors are taken in window coordinates, clipped to the window",
       {100, 0, 2660, 800},
       {{0, 0, 1380, 800}, {1380, 0, 2660, 800}},
       1280,
       800,
       {{0, 0, 1280, 800}, {1280, 0, 2560, 800}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TShowLayout layout = LayOutShow(c.window, c.monitors);
    EXPECT_EQ(layout.ShowWidth, c.showWidth);
    EXPECT_EQ(layout.ShowHeight, c.showHeight);
    EXPECT_EQ(layout.Targets, c.targets);
  }
}

}  // namespace
}  // namespace kestrava
