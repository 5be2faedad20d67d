// The round-rectangle and polygon constructors of Region: both scan-convert into rows of spans,
// merge equal neighbouring rows into bands and hand the bands to the region in one call.
#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "raster/Region.h"

namespace kestrava {

namespace {

// Exact products of squared ellipse sizes need more than 64 bits.
__extension__ typedef __int128 TWide;

// Shapes are built row by row, so their cost grows with their size: a corner ellipse may be at
// most this many pixels wide or high, and a polygon's edges may cross at most kMaxCrossings rows
// in total. Far beyond any screen; it keeps a hostile caller from asking for gigabytes.
constexpr int64_t kMaxEllipseSide = int64_t{1} << 20;
constexpr int64_t kMaxCrossings = int64_t{1} << 22;

// Collects rows of spans top to bottom in the y-x banded form: rows that follow each other with
// the same spans become one band before anything is handed to the region.
class TBandBuilder {
 public:
  // xs holds left, right pairs in increasing order, disjoint and not touching.
  void AddRows(int64_t top, int64_t bottom, const std::vector<int64_t>& xs) {
    if (xs.empty() || bottom <= top) return;
    if (lastBottom_ == top && SameSpans(xs)) {
      for (size_t i = lastBand_; i < boxes_.size(); ++i)
        boxes_[i].Bottom = int(bottom);
    } else {
      lastBand_ = boxes_.size();
      for (size_t i = 0; i + 1 < xs.size(); i += 2)
        boxes_.push_back({int(xs[i]), int(top), int(xs[i + 1]), int(bottom)});
    }
    lastBottom_ = bottom;
  }

  const std::vector<TRect>& Rects() const { return boxes_; }

 private:
  bool SameSpans(const std::vector<int64_t>& xs) const {
    if ((boxes_.size() - lastBand_) * 2 != xs.size()) return false;
    for (size_t i = lastBand_, j = 0; i < boxes_.size(); ++i, j += 2)
      if (boxes_[i].Left != xs[j] || boxes_[i].Right != xs[j + 1]) return false;
    return true;
  }

  std::vector<TRect> boxes_;
  size_t lastBand_ = 0;
  int64_t lastBottom_ = INT64_MIN;
};

// The corner ellipse is the one inscribed in a w x h block of pixels, passing through the centres
// of the block's outermost pixels. Its outline is traced as an 8-connected pixel path through the
// top-left quarter, from the top row's middle pixel down to the left column's middle row; the
// pixels inside the outline belong to the region. Returns, for each row of that quarter, how many
// pixels the region leaves out at the left (and, by symmetry, at the right).
//
// Coordinates are doubled so that the centre and the semi-axes are integers for odd and even
// sizes alike: a pixel (x, y) of the block is at U = 2x - (w - 1), V = 2y - (h - 1), and
// F = B^2 U^2 + A^2 V^2 - A^2 B^2 with A = w - 1, B = h - 1 is negative inside the ellipse.
// Each step moves left when the two candidate pixels of the next row (straight down and down-left)
// are inside on average, and down when the two candidates of the next column (left and down-left)
// are outside on average; the averages stand in for the midpoints between candidates, and an
// average of exactly zero does not move. That reproduces the platform's corner pixels, where an
// exact inside test of pixel centres misses a few by a hair.
std::vector<int64_t> CornerInsets(int64_t w, int64_t h) {
  const TWide a = w - 1, b = h - 1;
  const auto f = [&](int64_t x, int64_t y) {
    const TWide u = 2 * TWide(x) - a, v = 2 * TWide(y) - b;
    return b * b * u * u + a * a * v * v - a * a * b * b;
  };
  const int64_t lastRow = (h - 1) / 2;
  std::vector<int64_t> insets(size_t(lastRow + 1));
  int64_t x = (w - 1) / 2, y = 0;
  while (x > 0 || y < lastRow) {
    bool left = x > 0, down = y < lastRow;
    if (left && down) {
      const TWide diagonal = f(x - 1, y + 1);
      left = diagonal + f(x, y + 1) < 0;
      down = diagonal + f(x - 1, y) > 0;
    }
    if (down) insets[size_t(y)] = x;
    x -= left;
    y += down;
  }
  insets[size_t(lastRow)] = 0;
  return insets;
}

int64_t CeilDiv(int64_t num, int64_t den) {  // den > 0
  const int64_t q = num / den;
  return q + (num % den > 0 ? 1 : 0);
}

struct TEdge {
  int64_t top, bottom;  // rows top .. bottom - 1 cross this edge
  int64_t x, dx;        // x at top, and the change of x down to bottom
  int direction;        // +1 going down, -1 going up
};

struct TCrossing {
  int64_t x;
  int direction;
};

}  // namespace

Region Region::FromRoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                             int ellipseHeight) {
  // The region stops one pixel short of the right and bottom coordinates.
  const int64_t l = std::min(left, right), r = int64_t{std::max(left, right)} - 1;
  const int64_t t = std::min(top, bottom), b = int64_t{std::max(top, bottom)} - 1;
  Region result;
  if (r <= l || b <= t) return result;
  const int64_t w = std::min(r - l, ellipseWidth < 0 ? -int64_t{ellipseWidth} : ellipseWidth);
  const int64_t h = std::min(b - t, ellipseHeight < 0 ? -int64_t{ellipseHeight} : ellipseHeight);
  TBandBuilder bands;
  if (w < 2 || h < 2) {
    bands.AddRows(t, b, {l, r});
    result.AdoptUnsorted(bands.Rects());
    return result;
  }
  if (w > kMaxEllipseSide || h > kMaxEllipseSide)
    throw std::length_error("round rectangle corner ellipse too large");

  const std::vector<int64_t> insets = CornerInsets(w, h);
  const int64_t curved = int64_t(insets.size());  // rows at the top, and at the bottom
  const auto row = [&](int64_t y, int64_t inset) {
    bands.AddRows(y, y + 1, {l + inset, r - inset});
  };
  for (int64_t y = t; y < std::min(t + curved, b); ++y)
    row(y, insets[size_t(y - t)]);
  bands.AddRows(t + curved, b - curved, {l, r});
  // With an odd ellipse as high as the rectangle the two halves share the middle row.
  for (int64_t y = std::max(b - curved, t + curved); y < b; ++y)
    row(y, insets[size_t(b - 1 - y)]);
  result.AdoptUnsorted(bands.Rects());
  return result;
}

Region Region::FromPolygon(std::span<const TPoint> points, TPolyFillMode mode) {
  Region result;
  if (points.size() < 3) return result;

  // The closing edge from the last point back to the first is implied; horizontal edges cross
  // no row and drop out.
  std::vector<TEdge> edges;
  int64_t crossings = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const TPoint& p = points[i];
    const TPoint& q = points[(i + 1) % points.size()];
    if (p.Y == q.Y) continue;
    const bool down = p.Y < q.Y;
    const TPoint& upper = down ? p : q;
    const TPoint& lower = down ? q : p;
    edges.push_back({upper.Y, lower.Y, upper.X, int64_t{lower.X} - upper.X, down ? 1 : -1});
    crossings += int64_t{lower.Y} - upper.Y;
    if (crossings > kMaxCrossings) throw std::length_error("polygon too large");
  }
  if (edges.empty()) return result;
  std::sort(edges.begin(), edges.end(),
            [](const TEdge& e1, const TEdge& e2) { return e1.top < e2.top; });
  int64_t lowest = INT64_MIN;
  for (const TEdge& e : edges)
    lowest = std::max(lowest, e.bottom);

  // A pixel is inside when its top-left corner point is: on row y an edge crosses at the exact
  // rational x, a crossing at x includes pixel x when x is whole and starts at the next pixel
  // otherwise, so each crossing is rounded up and spans run from one crossing (included) to the
  // next (excluded).
  TBandBuilder bands;
  std::vector<const TEdge*> active;
  std::vector<TCrossing> row;
  std::vector<int64_t> xs;
  size_t next = 0;
  for (int64_t y = edges.front().top; y < lowest; ++y) {
    std::erase_if(active, [y](const TEdge* e) { return e->bottom <= y; });
    for (; next < edges.size() && edges[next].top == y; ++next)
      active.push_back(&edges[next]);
    row.clear();
    for (const TEdge* e : active)
      row.push_back({e->x + CeilDiv(e->dx * (y - e->top), e->bottom - e->top), e->direction});
    std::sort(row.begin(), row.end(),
              [](const TCrossing& c1, const TCrossing& c2) { return c1.x < c2.x; });
    xs.clear();
    int winding = 0;
    int64_t start = 0;
    for (const TCrossing& c : row) {
      const bool wasInside = winding != 0;
      winding = mode == TPolyFillMode::Winding ? winding + c.direction : winding ^ 1;
      if (!wasInside && winding != 0) {
        start = c.x;
      } else if (wasInside && winding == 0 && c.x > start) {
        if (!xs.empty() && xs.back() == start)
          xs.back() = c.x;  // two spans that touch are one
        else
          xs.insert(xs.end(), {start, c.x});
      }
    }
    bands.AddRows(y, y + 1, xs);
  }
  result.AdoptUnsorted(bands.Rects());
  return result;
}

}  // namespace kestrava
