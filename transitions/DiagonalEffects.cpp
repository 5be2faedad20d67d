#include "transitions/DiagonalEffects.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include "transitions/RegionReveal.h"

namespace kestrava {

Region TriangleRegion(int x1, int y1, int x2, int y2, int x3, int y3) {
  const std::array<TPoint, 3> corners{{{x1, y1}, {x2, y2}, {x3, y3}}};
  return Region::FromPolygon(corners, TPolyFillMode::Winding);
}

namespace {

using TTriangle = std::array<int, 6>;

Region Triangles(std::initializer_list<TTriangle> triangles) {
  Region all;
  for (const TTriangle& t : triangles)
    all.Combine(all, TriangleRegion(t[0], t[1], t[2], t[3], t[4], t[5]), TCombineMode::Or);
  return all;
}

}  // namespace

Region TriangleGridRegion(int W, int H, int sw, int sh, int u) {
  // A step unit of 0 (small pictures or Step) forms no grid; it counts as 1, a grid of one cell.
  const int n = u > 1 ? u / 2 : 1;
  const int cw = W / n, ch = H / n, dx = sw / n, dy = sh / n;
  if (dx <= 0 || dy <= 0) return {};

  // Every triangle is the same shape moved by whole pixels, which scan-converts the same, and
  // its left side is at the grid column minus dx. So on any row the union is one span per grid
  // column starting there, as long as the longest of the rows of the triangles crossing it.
  // That keeps the work linear in the frame's size instead of in the number of triangles.
  std::vector<int> shapeRow(size_t(2 * dy), 0);  // span length per row, from the top row -dy
  for (const TRect& r : TriangleRegion(-dx, -dy, dx, -dy, -dx, dy).Rects())
    for (int y = r.Top; y < r.Bottom; ++y)
      shapeRow[size_t(y + dy)] = r.Right + dx;

  // Grid points that coincide (a cell size of 0 on pictures smaller than the grid) count once.
  const int rows = ch > 0 ? n + 1 : 1, columns = cw > 0 ? n + 1 : 1;
  const int top = -dy;
  std::vector<int> length(size_t((rows - 1) * ch + 2 * dy), 0);
  for (int i = 0; i < rows; ++i)
    for (int t = 0; t < 2 * dy; ++t) {
      int& l = length[size_t(i * ch + t)];
      l = std::max(l, shapeRow[size_t(t)]);
    }

  // Runs of rows with the same length, then their spans: one per grid column, or one for the
  // whole row once neighbours touch.
  struct TRun {
    int y0, y1, l;
  };
  std::vector<TRun> runs;
  size_t count = 0;
  for (size_t y = 0; y < length.size();) {
    size_t end = y + 1;
    while (end < length.size() && length[end] == length[y])
      ++end;
    if (length[y] > 0) {
      runs.push_back({top + int(y), top + int(end), length[y]});
      count += length[y] < cw ? size_t(columns) : 1;
    }
    y = end;
  }
  std::vector<TRect> rects;
  rects.reserve(count);
  for (const TRun& r : runs) {
    if (r.l < cw) {
      for (int j = 0; j < columns; ++j)
        rects.push_back({j * cw - dx, r.y0, j * cw - dx + r.l, r.y1});
    } else {
      rects.push_back({-dx, r.y0, (columns - 1) * cw - dx + r.l, r.y1});
    }
  }
  return Region::FromRects(rects);
}

// Triangles with their corners in the order given; united in that order.
#define KESTRAVA_TRIANGLE_EFFECT(name, ...)                            \
  Region name##Region(const TRect& R, uint16_t Step, int Progress) {   \
    const TProgressExtents e = ProgressExtents(R, Step, Progress);     \
    [[maybe_unused]] const int W = e.W, H = e.H, sw = e.sw, sh = e.sh; \
    [[maybe_unused]] const int Cx = W / 2, Cy = H / 2;                 \
    return Triangles({__VA_ARGS__});                                   \
  }                                                                    \
  KESTRAVA_REVEAL_THROUGH_REGION(name)

// A right triangle in the corner with legs 2sw and 2sh: its long side is the diagonal at half way.
KESTRAVA_TRIANGLE_EFFECT(RevealDiagonalFromTopLeft, {0, 0, 2 * sw, 0, 0, 2 * sh})
KESTRAVA_TRIANGLE_EFFECT(RevealDiagonalFromTopRight, {W, 0, W - 2 * sw, 0, W, 2 * sh})
KESTRAVA_TRIANGLE_EFFECT(RevealDiagonalFromBottomLeft, {0, H, 2 * sw, H, 0, H - 2 * sh})
KESTRAVA_TRIANGLE_EFFECT(RevealDiagonalFromBottomRight, {W, H, W - 2 * sw, H, W, H - 2 * sh})

// Lines from the top-left and the bottom-right corners swinging onto the main diagonal, away
// from the left and right edges (anticlockwise) or the top and bottom edges (clockwise).
KESTRAVA_TRIANGLE_EFFECT(DiagonalSweepFromTopLeftBottomRightAnticlockwise, {0, H, 0, 0, sw, H},
                         {W, H, W, 0, W - sw, 0})
KESTRAVA_TRIANGLE_EFFECT(DiagonalSweepFromTopLeftBottomRightClockwise, {W, 0, 0, 0, W, sh},
                         {W, H, 0, H, 0, H - sh})

// Four fans from the centre, each sweeping along one edge clockwise from a corner.
KESTRAVA_TRIANGLE_EFFECT(StarburstClockwiseFromCenter, {Cx, Cy, 0, H, 0, H - sh},
                         {0, 0, sw, 0, Cx, Cy}, {W - sw, H, Cx, Cy, W, H}, {Cx, Cy, W, 0, W, sh})

#undef KESTRAVA_TRIANGLE_EFFECT

Region TriangularShredToTopLeftRegion(const TRect& R, uint16_t Step, int Progress) {
  const TProgressExtents e = ProgressExtents(R, Step, Progress);
  return TriangleGridRegion(e.W, e.H, e.sw, e.sh, e.u);
}
KESTRAVA_REVEAL_THROUGH_REGION(TriangularShredToTopLeft)

}  // namespace kestrava
