// The round-rectangle constructor of Region, on every backend: the corner ellipse is
// scan-converted into rows of spans, equal neighbouring rows merge into bands, and the bands go
// to the region in one call.
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

// Exact products of squared ellipse sizes need more than 64 bits.
__extension__ typedef __int128 TWide;

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

}  // namespace kestrava
