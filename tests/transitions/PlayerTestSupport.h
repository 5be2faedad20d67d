#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "raster/Bitmap.h"
#include "raster/Canvas.h"
#include "raster/Color.h"
#include "transitions/HeadlessPlayerHost.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava::testing {

// A picture in which neighbouring pixels differ, so that a misplaced or rescaled copy shows.
inline TBitmap Pattern(int width, int height, int seed = 0,
                       TPixelFormat format = TPixelFormat::pfDevice) {
  TBitmap b(width, height, TPixelFormat::pfDevice);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      b.Canvas().Brush.Color = RGBColor(uint8_t(x * 37 + seed), uint8_t(y * 53 + 7 * seed),
                                        uint8_t((x * y + seed) * 11 + 1));
      b.Canvas().FillRect({x, y, x + 1, y + 1});
    }
  b.SetPixelFormat(format);
  return b;
}

inline TBitmap Solid(int width, int height, TColor color) {
  TBitmap b(width, height);
  b.Canvas().Brush.Color = color;
  b.Canvas().FillRect({0, 0, width, height});
  return b;
}

// Equal sizes and equal colours everywhere; names the first pixel that differs.
inline ::testing::AssertionResult SameImage(const TBitmap& actual, const TBitmap& expected) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
    return ::testing::AssertionFailure()
           << "size " << actual.Width() << "x" << actual.Height() << ", expected "
           << expected.Width() << "x" << expected.Height();
  for (int y = 0; y < actual.Height(); ++y)
    for (int x = 0; x < actual.Width(); ++x)
      if (actual.PixelAt(x, y) != expected.PixelAt(x, y))
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << std::hex << actual.PixelAt(x, y)
               << ", expected " << expected.PixelAt(x, y);
  return ::testing::AssertionSuccess();
}

// An image whose every pixel comes from a function of its position.
inline TBitmap ImageOf(int width, int height, const std::function<TPixel(int, int)>& pixel) {
  TBitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      b.Canvas().Brush.Color = PixelToColor(pixel(x, y));
      b.Canvas().FillRect({x, y, x + 1, y + 1});
    }
  return b;
}

// What the player reported, from whichever thread reported it.
class TEventLog {
 public:
  void Add(std::string event, int progress = -1) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
    if (progress >= 0) frames_.push_back(progress);
  }
  std::vector<std::string> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  std::vector<int> Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  size_t FrameCount() const {
    std::lock_guard lock(mutex_);
    return frames_.size();
  }
  int LastFrame() const {
    std::lock_guard lock(mutex_);
    return frames_.empty() ? -1 : frames_.back();
  }
  int Count(const std::string& event) const {
    std::lock_guard lock(mutex_);
    return int(std::count(events_.begin(), events_.end(), event));
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> events_;
  std::vector<int> frames_;
};

// A player on a headless host driven by the test's own thread, which is the host's UI thread.
// Every event is logged; frames are logged by OnProgress.
struct TPlayerRig {
  static constexpr TColor kBackground = RGBColor(10, 200, 30);

  THeadlessPlayerHost Host;
  TTransitionPlayer Player{Host};
  TEventLog Log;

  explicit TPlayerRig(bool threaded, int clientWidth = 100, int clientHeight = 100)
      : Host(clientWidth, clientHeight) {
    Player.SetThreaded(threaded);
    // No pause between frames: the tests check what happens, not when.
    Player.SetDelay(0);
    Player.SetColor(kBackground);
    Player.OnStart = [this](TCustomTransitionPlayer&, TBitmap&, TBitmap&) { Log.Add("Start"); };
    Player.OnBeforeNewFrame = [this](TCustomTransitionPlayer&, TBitmap&, TBitmap&) {
      Log.Add("Before");
    };
    Player.OnAfterNewFrame = [this](TCustomTransitionPlayer&, TBitmap&, TBitmap&) {
      Log.Add("After");
    };
    Player.OnProgress = [this](TCustomTransitionPlayer& p) { Log.Add("Progress", p.Progress()); };
    Player.OnComplete = [this](TCustomTransitionPlayer&) { Log.Add("Complete"); };
    Player.OnStop = [this](TCustomTransitionPlayer&) { Log.Add("Stop"); };
  }

  // Pumps the UI thread until the transition is over.
  ::testing::AssertionResult RunToEnd() {
    if (Host.RunUntil([this] { return !Player.Busy(); })) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the transition did not end; frames " << Log.FrameCount();
  }

  // Runs a call on the UI thread once, when the frame at `progress` (or later) was made.
  void AtFrame(int progress, std::function<void()> call) {
    auto previous = Player.OnProgress;
    auto done = std::make_shared<bool>(false);
    Player.OnProgress = [this, previous, done, progress, call](TCustomTransitionPlayer& p) {
      previous(p);
      if (*done || p.Progress() < progress) return;
      *done = true;
      Host.Post(call);
    };
  }
};

}  // namespace kestrava::testing
