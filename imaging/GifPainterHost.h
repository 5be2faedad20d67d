#pragma once

#include <functional>

namespace kestrava {

// What the GIF painter thread needs from the window system that shows the picture: the Qt
// widget of the wizard, the saver runtime and a headless host for tests and tools implement it.
// The UI thread is the one that owns the picture and the control showing it. The painter never
// touches either from its own thread: every drawing step is handed to the UI thread.
class IGifPainterHost {
 public:
  virtual ~IGifPainterHost() = default;

  // Any thread: runs step on the UI thread and returns once it has run; its exception reaches
  // the caller. On the UI thread it runs at once. The UI thread must serve these calls whenever
  // it waits for a painter (WaitServing), or the two would wait for each other.
  virtual void Synchronize(const std::function<void()>& step) = 0;
  // UI thread: blocks until done() holds, meanwhile running the steps other threads hand over.
  // done() is tested again after every step and after every Wake.
  virtual void WaitServing(const std::function<bool()>& done) = 0;
  // Any thread: makes WaitServing test its condition again.
  virtual void Wake() = 0;
};

}  // namespace kestrava
