#include "transitions/PivotEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace kestrava {

namespace {

int64_t FloorDiv(int64_t n, int64_t d) {
  const int64_t q = n / d;
  return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

int64_t CeilDiv(int64_t n, int64_t d) {
  return -FloorDiv(-n, d);
}

// The integers X in [first, last) with lo <= b + X k < hi: an interval, since the sum moves one
// way along the row.
void Narrow(int64_t b, int64_t k, int64_t lo, int64_t hi, int64_t& first, int64_t& last) {
  if (k == 0) {
    if (b < lo || b >= hi) last = first;
    return;
  }
  // lo - b <= X k <= hi - b - 1
  int64_t from, to;
  if (k > 0) {
    from = CeilDiv(lo - b, k);
    to = FloorDiv(hi - b - 1, k);
  } else {
    from = CeilDiv(hi - b - 1, k);
    to = FloorDiv(lo - b, k);
  }
  first = std::max(first, from);
  last = std::min(last, to + 1);
}

}  // namespace

// The fixed-point sums are kept in 64 bits: they give the same pixels as 32-bit sums wherever
// those cannot overflow (up to 16383 pixels a side) and stay right on larger pictures.
void RotateInto(TBitmap& screen, const TBitmap& picture, int cx, int cy, double theta) {
  const int W = picture.Width(), H = picture.Height();
  if (screen.Width() != W || screen.Height() != H || screen.BitsPerPixel() != 32 ||
      picture.BitsPerPixel() != 32)
    return;
  constexpr int64_t kOne = 65536;
  const int64_t S = int64_t(std::sin(-theta) * kOne);
  const int64_t C = int64_t(std::cos(-theta) * kOne);
  // Source column xs = (nx >> 16) + cx lies in [0, W) exactly when nx lies in [-cx, W - cx)
  // times 65536; likewise for the source row.
  const int64_t xLo = -int64_t{cx} * kOne, xHi = (int64_t{W} - cx) * kOne;
  const int64_t yLo = -int64_t{cy} * kOne, yHi = (int64_t{H} - cy) * kOne;
  const int64_t a0 = 1 - int64_t{cx};
  std::vector<const uint32_t*> sourceRows(static_cast<size_t>(H));  // by ys
  for (int ys = 0; ys < H; ++ys)
    sourceRows[size_t(ys)] = reinterpret_cast<const uint32_t*>(picture.ScanLine(H - 1 - ys));
  for (int y = 0; y < H; ++y) {
    const int64_t e = int64_t{H} - y - cy;  // Y + 1 - cy with Y = H - 1 - y
    // Along the row X adds C to nx and S to ny.
    const int64_t bx = a0 * C - e * S, by = a0 * S + e * C;
    int64_t first = 0, last = W;
    Narrow(bx, C, xLo, xHi, first, last);
    Narrow(by, S, yLo, yHi, first, last);
    if (first >= last) continue;
    uint32_t* out = reinterpret_cast<uint32_t*>(screen.ScanLine(y));
    int64_t nx = bx + first * C, ny = by + first * S;
    for (int64_t X = first; X < last; ++X, nx += C, ny += S)
      out[X] = sourceRows[size_t((ny >> 16) + cy)][(nx >> 16) + cx];
  }
}

namespace {

// A quarter turn at Progress 0, none at 100.
double QuarterTurnLeft(int progress) {
  return (100 - progress) * std::numbers::pi / 200;
}

}  // namespace

void PivotFromTopLeft(TBitmap& Screen, const TBitmap& Picture, const TRect&, uint16_t,
                      int Progress) {
  RotateInto(Screen, Picture, -1, -1, QuarterTurnLeft(Progress));
}

void PivotFromBottomLeft(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t,
                         int Progress) {
  RotateInto(Screen, Picture, -1, R.Bottom, -QuarterTurnLeft(Progress));
}

void PivotFromTopRight(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t,
                       int Progress) {
  RotateInto(Screen, Picture, R.Right, -1, -QuarterTurnLeft(Progress));
}

void PivotFromBottomRight(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t,
                          int Progress) {
  RotateInto(Screen, Picture, R.Right, R.Bottom, QuarterTurnLeft(Progress));
}

}  // namespace kestrava
