#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "raster/Rect.h"

namespace kestrava {

enum class TPolyFillMode { Alternate, Winding };
enum class TCombineMode { Or, And, Xor, Diff };
// What a combination produced, as the platform's region calls report it.
enum class TRegionKind { Error = 0, Null = 1, Simple = 2, Complex = 3 };

// A set of pixels, kept as y-x bands: rectangles sorted by top, then left; the
// rectangles of one band share top and bottom, do not touch or overlap within the band, and
// two vertically adjacent bands never hold the same spans (they are merged). Our own operations
// keep that form, which is what SelfCheck() verifies, so the pixel set has a single description.
//
// The constructors follow the platform's region calls that the effects were made with: a
// rectangle with swapped corners is put in order, an empty one gives an empty region; a round
// rectangle ends one pixel before its right and bottom coordinates; polygons are scan-converted
// with the pixel at (x, y) inside when its corner point (x, y) is, left edges included.
class Region {
 public:
  Region();
  Region(const Region& other);
  Region(Region&& other) noexcept;
  Region& operator=(const Region& other);
  Region& operator=(Region&& other) noexcept;
  ~Region();

  static Region FromRect(const TRect& r);
  static Region FromRect(int left, int top, int right, int bottom) {
    return FromRect(TRect{left, top, right, bottom});
  }
  // The union of many rectangles in one step; each is normalised first and empty ones dropped.
  static Region FromRects(std::span<const TRect> rects);
  // Corner ellipse of ellipseWidth by ellipseHeight, reduced to the rectangle's size.
  static Region FromRoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                              int ellipseHeight);
  static Region FromPolygon(std::span<const TPoint> points, TPolyFillMode mode);

  // Sets this region to a combined with b and reports the kind of the result.
  TRegionKind Combine(const Region& a, const Region& b, TCombineMode mode);
  static Region Combined(const Region& a, const Region& b, TCombineMode mode);

  void Translate(int dx, int dy);

  bool IsEmpty() const;
  TRegionKind Kind() const;
  bool Contains(int x, int y) const;
  // Extents; (0, 0, 0, 0) for an empty region.
  TRect BoundingBox() const;
  // The banded rectangles, top to bottom and left to right within a band.
  std::vector<TRect> Rects() const;
  // Sorted, disjoint, coalesced bands with exact extents.
  bool SelfCheck() const;
  // The canonical text form: "Y0 Y1 : X0 X1 ..." per maximal run of rows with equal spans,
  // then "end bands=N"; independent of how the rectangles are split.
  std::string Canonical() const;

  friend bool operator==(const Region& a, const Region& b);

  // The platform's region, kept in place (no allocation for a simple region): pixman's on Linux,
  // a GDI region handle on Windows. Only the backend's own file looks inside.
  struct TNative;
  static constexpr size_t kNativeSize = 24, kNativeAlign = 8;

 private:
  // Takes rectangles already in the banded form (merged, coalesced) without sorting them again.
  void AdoptBanded(std::span<const TRect> rects);
  // The union of rectangles in any order, none empty.
  void AdoptUnsorted(std::span<const TRect> rects);
  // The backend's own consistency check of its storage.
  bool NativeSelfCheck() const;

  TNative& Native() { return *reinterpret_cast<TNative*>(native_); }
  const TNative& Native() const { return *reinterpret_cast<const TNative*>(native_); }

  alignas(kNativeAlign) std::byte native_[kNativeSize];
};

}  // namespace kestrava
