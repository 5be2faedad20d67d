// The polygon constructor of Region on pixman: edges are scan-converted into rows of spans,
// equal neighbouring rows merge into bands, and the bands go to the region in one call.
#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "raster/Region.h"
#include "raster/RegionBandBuilder.h"
#include "raster/RegionLimits.h"

namespace kestrava {

namespace {

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
