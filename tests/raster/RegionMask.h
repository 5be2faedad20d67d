#pragma once

// The slow, obvious model that region code is checked against: a pixel set as one bool per pixel
// of a fixed window, filled by per-pixel tests and combined pixel by pixel.

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "raster/Rect.h"
#include "raster/Region.h"

namespace kestrava::test {

// Exact point-in-polygon for the point (x, y): an edge counts when it spans y (top included,
// bottom not) and passes at or left of x, decided by cross-multiplying instead of dividing.
inline bool PointInPolygon(int x, int y, std::span<const TPoint> points, TPolyFillMode mode) {
  __extension__ typedef __int128 TWide;
  if (points.size() < 3) return false;
  int winding = 0, crossings = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    TPoint a = points[i], b = points[(i + 1) % points.size()];
    const int direction = a.Y < b.Y ? 1 : -1;
    if (a.Y > b.Y) std::swap(a, b);
    if (!(a.Y <= y && y < b.Y)) continue;
    // x >= a.X + (b.X - a.X) * (y - a.Y) / (b.Y - a.Y), with b.Y - a.Y > 0.
    if (TWide(int64_t{x} - a.X) * (int64_t{b.Y} - a.Y) >= TWide(int64_t{b.X} - a.X) * (y - a.Y)) {
      winding += direction;
      ++crossings;
    }
  }
  return mode == TPolyFillMode::Winding ? winding != 0 : crossings % 2 == 1;
}

class TMask {
 public:
  explicit TMask(TRect window)
      : window_(window), bits_(size_t(window.Width()) * size_t(window.Height())) {}

  const TRect& Window() const { return window_; }
  bool At(int x, int y) const { return window_.Contains(x, y) && bits_[Index(x, y)]; }
  void Set(int x, int y, bool on) { bits_[Index(x, y)] = on; }

  static TMask OfRects(TRect window, std::span<const TRect> rects) {
    TMask m(window);
    for (int y = window.Top; y < window.Bottom; ++y)
      for (int x = window.Left; x < window.Right; ++x)
        for (const TRect& r : rects)
          if (r.Normalized().Contains(x, y)) m.Set(x, y, true);
    return m;
  }

  static TMask OfPolygon(TRect window, std::span<const TPoint> points, TPolyFillMode mode) {
    TMask m(window);
    for (int y = window.Top; y < window.Bottom; ++y)
      for (int x = window.Left; x < window.Right; ++x)
        m.Set(x, y, PointInPolygon(x, y, points, mode));
    return m;
  }

  static TMask Combined(const TMask& a, const TMask& b, TCombineMode mode) {
    TMask m(a.window_);
    for (size_t i = 0; i < m.bits_.size(); ++i) {
      const bool p = a.bits_[i], q = b.bits_[i];
      switch (mode) {
        case TCombineMode::Or:
          m.bits_[i] = p || q;
          break;
        case TCombineMode::And:
          m.bits_[i] = p && q;
          break;
        case TCombineMode::Xor:
          m.bits_[i] = p != q;
          break;
        case TCombineMode::Diff:
          m.bits_[i] = p && !q;
          break;
      }
    }
    return m;
  }

  // The smallest rectangle holding every set pixel; (0, 0, 0, 0) when none is set.
  TRect Extents() const {
    TRect e;
    bool any = false;
    for (int y = window_.Top; y < window_.Bottom; ++y)
      for (int x = window_.Left; x < window_.Right; ++x) {
        if (!At(x, y)) continue;
        e = any ? TRect{std::min(e.Left, x), std::min(e.Top, y), std::max(e.Right, x + 1),
                        std::max(e.Bottom, y + 1)}
                : TRect{x, y, x + 1, y + 1};
        any = true;
      }
    return e;
  }

  int64_t Count() const {
    int64_t n = 0;
    for (bool b : bits_)
      n += b;
    return n;
  }

 private:
  size_t Index(int x, int y) const {
    return size_t(y - window_.Top) * size_t(window_.Width()) + size_t(x - window_.Left);
  }

  TRect window_;
  std::vector<bool> bits_;
};

// Empty when the region is exactly the mask's pixels: Contains() agrees on every pixel of the
// window, and the rectangles of Rects() lie in the window and cover each set pixel exactly once.
// Otherwise a description of the first difference.
inline std::string Mismatch(const TMask& mask, const Region& region) {
  const TRect& w = mask.Window();
  std::ostringstream out;
  for (int y = w.Top; y < w.Bottom; ++y)
    for (int x = w.Left; x < w.Right; ++x)
      if (region.Contains(x, y) != mask.At(x, y)) {
        out << "Contains(" << x << ", " << y << ") is " << !mask.At(x, y);
        return out.str();
      }
  std::vector<int> cover(size_t(w.Width()) * size_t(w.Height()));
  for (const TRect& r : region.Rects()) {
    if (Intersect(r, w) != r) {
      out << "rectangle " << r.Left << ',' << r.Top << ',' << r.Right << ',' << r.Bottom
          << " leaves the window";
      return out.str();
    }
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        ++cover[size_t(y - w.Top) * size_t(w.Width()) + size_t(x - w.Left)];
  }
  for (int y = w.Top; y < w.Bottom; ++y)
    for (int x = w.Left; x < w.Right; ++x)
      if (cover[size_t(y - w.Top) * size_t(w.Width()) + size_t(x - w.Left)] != int(mask.At(x, y))) {
        out << "Rects() cover (" << x << ", " << y << ") "
            << cover[size_t(y - w.Top) * size_t(w.Width()) + size_t(x - w.Left)] << " times";
        return out.str();
      }
  return {};
}

// Random operands for seeded tests. Corners fall in [-4, 44] x [-4, 34], so that every shape
// lies inside kWindow with a margin that must stay empty.
constexpr TRect kWindow{-8, -8, 52, 42};

inline int Coord(std::mt19937& rng, int lo, int hi) {
  return lo + int(rng() % uint32_t(hi - lo + 1));
}

// Up to six rectangles, some given with swapped corners and some empty.
inline std::vector<TRect> RandomRects(std::mt19937& rng) {
  std::vector<TRect> rects(1 + rng() % 6);
  for (TRect& r : rects)
    r = {Coord(rng, -4, 44), Coord(rng, -4, 34), Coord(rng, -4, 44), Coord(rng, -4, 34)};
  return rects;
}

// Three to ten points, with horizontal edges and repeated points now and then.
inline std::vector<TPoint> RandomPolygon(std::mt19937& rng) {
  std::vector<TPoint> points(3 + rng() % 8);
  for (size_t i = 0; i < points.size(); ++i) {
    points[i] = {Coord(rng, -4, 44), Coord(rng, -4, 34)};
    if (i > 0 && rng() % 4 == 0) points[i].Y = points[i - 1].Y;
    if (i > 0 && rng() % 8 == 0) points[i] = points[i - 1];
  }
  return points;
}

struct TOperand {
  Region region;
  TMask mask;
};

// A rectangle set or a polygon in either fill mode, with its independently drawn mask.
inline TOperand RandomOperand(std::mt19937& rng) {
  switch (rng() % 3) {
    case 0: {
      const std::vector<TRect> rects = RandomRects(rng);
      return {Region::FromRects(rects), TMask::OfRects(kWindow, rects)};
    }
    default: {
      const auto mode = rng() % 2 ? TPolyFillMode::Winding : TPolyFillMode::Alternate;
      const std::vector<TPoint> points = RandomPolygon(rng);
      return {Region::FromPolygon(points, mode), TMask::OfPolygon(kWindow, points, mode)};
    }
  }
}

}  // namespace kestrava::test
