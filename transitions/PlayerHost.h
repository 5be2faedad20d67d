#pragma once

#include <chrono>
#include <functional>

#include "raster/Bitmap.h"
#include "raster/Rect.h"

namespace kestrava {

class TCustomTransitionPlayer;

// What a transition player needs from the window system that shows it: the Qt widget of the
// wizard, the saver runtime and the headless host each implement it. The UI thread is the thread
// that owns the host's window; every call runs there unless it says "any thread".
//
// The host calls back into the attached player for the window's messages, always on the UI
// thread: HandlePaint when an update is painted (the host validates the update area first and
// never erases the background: the player covers every pixel), HandleResize when the window is
// created and whenever its client size changes, HandleAnimationDone for a dispatched animation-done
// message, and HandleDestroy before its window goes away.
class ITransitionPlayerHost {
 public:
  virtual ~ITransitionPlayerHost() = default;

  // The player attaches itself when it is made and detaches (null) when it is destroyed.
  virtual void Attach(TCustomTransitionPlayer* player) = 0;

  // Any thread.
  virtual bool WindowExists() const = 0;
  virtual void CreateWindowIfNeeded() = 0;
  // Any thread.
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual void SetClientSize(int width, int height) = 0;

  // Any thread: adds the rectangle (client coordinates) to the area waiting to be painted.
  virtual void Invalidate(const TRect& rect) = 0;
  // Any thread: whether some area waits to be painted.
  virtual bool UpdatePending() const = 0;
  // Any thread: paints the waiting area now. From another thread this blocks until the UI thread
  // has painted, so the UI thread must serve it whenever it waits for that thread.
  virtual void UpdateNow() = 0;
  // Called by the player's Paint: shows the composed picture of the whole client area (at least
  // the part being painted).
  virtual void Present(const TBitmap& backBuffer) = 0;

  // Any thread: queues an animation-done message for the UI thread.
  virtual void PostAnimationDone() = 0;
  // Takes one queued animation-done message out of the queue and dispatches it; false when none
  // is queued.
  virtual bool DispatchPendingAnimationDone() = 0;
  // Serves every message waiting for the UI thread, without blocking.
  virtual void ProcessMessages() = 0;
  // Blocks until a message arrives for the UI thread or the time has passed.
  virtual void WaitMessage(std::chrono::milliseconds timeout) = 0;
  // Blocks the UI thread until done() holds, meanwhile serving the synchronous calls of other
  // threads (UpdateNow), but no queued messages. Another thread makes done() true and only then
  // calls PostAnimationDone, which wakes the waiter.
  virtual void WaitServingSends(const std::function<bool()>& done) = 0;
};

}  // namespace kestrava
