#pragma once

#include <algorithm>

namespace kestrava {

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left and Top are inside the rectangle, Right and Bottom are not.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  // Empty also when given the wrong way round: such a rectangle covers no pixel.
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  // Swapped coordinates put in order, as the platform's region and fill calls do.
  TRect Normalized() const {
    return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right),
            std::max(Top, Bottom)};
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int left, int top, int right, int bottom) {
  return {left, top, right, bottom};
}

// The common part of two rectangles; an empty result is returned as (0, 0, 0, 0).
inline TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

// The smallest rectangle holding both; an empty one adds nothing.
inline TRect Union(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

}  // namespace kestrava
