#include "transitions/SpeckleEffects.h"

#include <algorithm>
#include <vector>

#include "raster/Random.h"
#include "raster/Rect.h"
#include "transitions/RegionReveal.h"

namespace kestrava {

namespace {

// One direction's rows, written as horizontal ones: each row is the run [top, top + s) filled
// over [from, to) along a line of the given length; `across` is how far the rows repeat. The
// vertical pass is the same with rows and columns exchanged.
template <typename Emit>
void AddSpeckledRows(int front, int length, int across, TSpeckleKind kind, Emit emit) {
  if (kind == TSpeckleKind::None) return;
  const int depth = front < length ? length / 10 : 0;
  const int s = std::max(depth / 20, 2);
  const int specks = depth / s;
  const int nearSpecks = (3 * depth / s) / 4;
  const bool fromFar = kind == TSpeckleKind::FromFar;
  for (int top = 0; top < across; top += s / 2) {
    const int bottom = top + s;
    if (fromFar)
      emit(length - front, length, top, bottom);
    else
      emit(0, front, top, bottom);
    // From the far end of the zone back to the front: speck i shows with probability 2/i in the
    // nearer three quarters of the zone and 1/i in the rest.
    for (int i = specks; i >= 1; --i) {
      const uint32_t r = Random(uint32_t(i));
      if (i <= nearSpecks ? r > 1 : r != 0) continue;
      if (fromFar)
        emit(length - front - i * s, length - front - i * s + s, top, bottom);
      else
        emit(front + i * s - s, front + i * s, top, bottom);
    }
  }
}

}  // namespace

Region BuildSpeckleRegion(int a, int b, int w, int h, TSpeckleKind hKind, TSpeckleKind vKind) {
  // Every row and speck is collected first and the union made in one step.
  std::vector<TRect> rects;
  AddSpeckledRows(a, w, h, hKind, [&](int from, int to, int top, int bottom) {
    rects.push_back({from, top, to, bottom});
  });
  AddSpeckledRows(b, h, w, vKind, [&](int from, int to, int left, int right) {
    rects.push_back({left, from, right, to});
  });
  return Region::FromRects(rects);
}

#define KESTRAVA_SPECKLE_EFFECT(name, hKind, vKind)                  \
  Region name##Region(const TRect& R, uint16_t Step, int Progress) { \
    const TProgressExtents e = ProgressExtents(R, Step, Progress);   \
    return BuildSpeckleRegion(e.sw, e.sh, e.W, e.H, hKind, vKind);   \
  }                                                                  \
  KESTRAVA_REVEAL_THROUGH_REGION(name)

KESTRAVA_SPECKLE_EFFECT(SpeckleAppearFromRight, TSpeckleKind::FromFar, TSpeckleKind::None)
KESTRAVA_SPECKLE_EFFECT(SpeckleAppearFromLeft, TSpeckleKind::FromNear, TSpeckleKind::None)
KESTRAVA_SPECKLE_EFFECT(SpeckleAppearFromBottom, TSpeckleKind::None, TSpeckleKind::FromFar)
KESTRAVA_SPECKLE_EFFECT(SpeckleAppearFromTop, TSpeckleKind::None, TSpeckleKind::FromNear)

#undef KESTRAVA_SPECKLE_EFFECT

namespace {

// The union of the squares (x - n, y - n, x + n, y + n) at the chosen grid points (x, y) =
// (i n, j n). Squares overlap their neighbours by half, so rather than hand the region builder
// thousands of overlapping squares, the union is made on the grid's n by n cells: cell (c, d),
// spanning [c n, c n + n) by [d n, d n + n), is covered when one of the grid points at its
// corners (c or c + 1, d or d + 1) is chosen. Each row of cells gives disjoint runs, already in
// band order.
Region UnionOfSquares(const std::vector<uint8_t>& chosen, int columns, int rows, int n) {
  const auto at = [&](int i, int j) {
    return i >= 0 && i < columns && j >= 0 && j < rows && chosen[size_t(i) * rows + j];
  };
  std::vector<TRect> runs;
  std::vector<uint8_t> row(size_t(columns) + 2);
  for (int d = -1; d < rows; ++d) {
    // row[i + 1]: grid point i of row d or d + 1 chosen.
    for (int i = -1; i <= columns; ++i)
      row[size_t(i + 1)] = at(i, d) || at(i, d + 1);
    for (int c = -1; c < columns;) {
      if (!row[size_t(c + 1)] && !row[size_t(c + 2)]) {
        ++c;
        continue;
      }
      const int first = c;
      while (c < columns && (row[size_t(c + 1)] || row[size_t(c + 2)]))
        ++c;
      runs.push_back({first * n, d * n, c * n, d * n + n});
    }
  }
  return Region::FromRects(runs);
}

}  // namespace

Region RandomSquaresAppearRegion(const TRect& R, uint16_t Step, int Progress) {
  const TProgressExtents e = ProgressExtents(R, Step, Progress);
  SetRandSeed(uint32_t(e.W) * uint32_t(e.H));
  // A step unit of 0 (a tiny picture or Step) counts as 1, so the grid always advances.
  const int u = std::max(e.u, 1);
  const int n = u > 1 ? u / 2 : u;
  const int columns = e.W > 0 ? (e.W - 1) / n + 1 : 0;
  const int rows = e.H > 0 ? (e.H - 1) / n + 1 : 0;
  // Down each column of grid points in turn, one draw per point.
  std::vector<uint8_t> chosen(size_t(columns) * size_t(rows));
  for (size_t k = 0; k < chosen.size(); ++k)
    chosen[k] = int(Random(100)) < Progress;
  return UnionOfSquares(chosen, columns, rows, n);
}
KESTRAVA_REVEAL_THROUGH_REGION(RandomSquaresAppear)

}  // namespace kestrava
