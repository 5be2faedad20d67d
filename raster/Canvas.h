#pragma once

#include <mutex>
#include <optional>

#include "raster/Color.h"
#include "raster/Rect.h"
#include "raster/Region.h"

namespace kestrava {

class TBitmap;

// The drawing surface of one bitmap. Every operation is clipped to the bitmap and, when one is
// selected, to the clip region (in the bitmap's own coordinates). Scaled copies are
// nearest-neighbour (rows and columns dropped or repeated, no smoothing), and a negative extent
// mirrors along its axis, anchored at the last pixel, as the platform's stretching blit does.
class TCanvas {
 public:
  struct TBrush {
    TColor Color = clWhite;
  };

  explicit TCanvas(TBitmap& owner) : owner_(&owner) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The canvas lock; it may be taken again by the thread that holds it.
  void Lock() { mutex_.lock(); }
  void Unlock() { mutex_.unlock(); }
  bool TryLock() { return mutex_.try_lock(); }

  TBrush Brush;

  void FillRect(const TRect& r);
  // The whole of source with its top-left corner at (x, y).
  void Draw(int x, int y, const TBitmap& source);
  // The whole of source scaled into dest.
  void StretchDraw(const TRect& dest, const TBitmap& source);
  // Source rectangle of another canvas (or of this one) scaled into dest. A copy within one
  // bitmap reads all of its source before it writes.
  void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);
  // The primitive behind the three above, with the platform's origin-and-extent arguments.
  // Destination pixels whose source pixel lies outside the source bitmap are left alone.
  // Returns false when an extent is zero and nothing could be drawn.
  bool StretchBlt(int xDest, int yDest, int wDest, int hDest, const TBitmap& source, int xSrc,
                  int ySrc, int wSrc, int hSrc);

  // Selecting copies the region; drawing is then limited to it.
  void SelectClipRegion(const Region& region) { clip_ = region; }
  void SelectNoClip() { clip_.reset(); }
  const Region* ClipRegion() const { return clip_ ? &*clip_ : nullptr; }

  TBitmap& Bitmap() { return *owner_; }
  const TBitmap& Bitmap() const { return *owner_; }

 private:
  friend class TBitmap;
  TBitmap* owner_;
  std::recursive_mutex mutex_;
  std::optional<Region> clip_;
};

// Holds a canvas lock for one scope.
class TCanvasLock {
 public:
  explicit TCanvasLock(TCanvas& canvas) : canvas_(canvas) { canvas_.Lock(); }
  ~TCanvasLock() { canvas_.Unlock(); }
  TCanvasLock(const TCanvasLock&) = delete;
  TCanvasLock& operator=(const TCanvasLock&) = delete;

 private:
  TCanvas& canvas_;
};

}  // namespace kestrava
