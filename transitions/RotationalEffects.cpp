#include "transitions/RotationalEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

#include "transitions/RegionReveal.h"

namespace kestrava {

namespace {

constexpr double kPi = std::numbers::pi;

// c + x rounded to the nearest integer, halves to the even one. Far beyond any picture, results
// are held to a range whose sums cannot overflow; a value that is not a number counts as 0.
int Offset(int c, double x) {
  if (std::isnan(x)) x = 0;
  const double whole = std::floor(x);
  const double rest = x - whole;
  double rounded = whole;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0)) rounded += 1;
  constexpr double kLimit = double(1 << 30);
  return int(std::clamp(c + rounded, -kLimit, kLimit));
}

// The smallest r with r * r >= v.
int CeilSqrt(int64_t v) {
  auto r = int64_t(std::sqrt(double(v)));
  while (r * r < v)
    ++r;
  while (r > 0 && (r - 1) * (r - 1) >= v)
    --r;
  return int(r);
}

Region Polygon(std::span<const TPoint> points) {
  return Region::FromPolygon(points, TPolyFillMode::Winding);
}

// The spans [j c - a, j c + a) for j = 0 .. n along one axis, those that overlap or touch merged.
std::vector<std::pair<int, int>> GridSpans(int n, int c, int a) {
  std::vector<std::pair<int, int>> spans;
  for (int j = 0; j <= n; ++j) {
    const int from = j * c - a, to = j * c + a;
    if (!spans.empty() && from <= spans.back().second)
      spans.back().second = std::max(spans.back().second, to);
    else
      spans.emplace_back(from, to);
  }
  return spans;
}

// The rectangle or star of styles 149 and 150, turned by 3.6 degrees per percent.
Region Turned(std::span<TPoint> points, int cx, int cy, int progress) {
  RotatePoints(points, cx, cy, progress * kPi / 50);
  return Polygon(points);
}

}  // namespace

Region SectorRegion(int cx, int cy, int r, double a0, double a1, int n) {
  if (n < 2) return Region();  // the centre and at most one arc point enclose nothing
  std::vector<TPoint> points;
  points.reserve(size_t(n) + 1);
  points.push_back({cx, cy});
  for (int k = 0; k < n; ++k) {
    const double phi = a0 + k * (a1 - a0) / n;
    points.push_back({Offset(cx, r * std::cos(phi)), Offset(cy, r * std::sin(phi))});
  }
  return Polygon(points);
}

void RotatePoints(std::span<TPoint> points, int cx, int cy, double theta) {
  const double c = std::cos(theta), s = std::sin(theta);
  for (TPoint& p : points) {
    const double dx = double(p.X) - cx, dy = double(p.Y) - cy;
    p = {Offset(cx, dx * c - dy * s), Offset(cy, dx * s + dy * c)};
  }
}

// A grid of (n + 1) by (n + 1) rectangles 2a by 2b centred on the points (j cw, i ch), growing
// to about one cell. Their union is the union of the column spans times the union of the row
// spans, so it is built from the merged spans in one step: large grids stay linear in the size
// of the region.
Region RectangularShredRegion(const TRect& R, uint16_t Step, int Progress) {
  const TProgressExtents e = ProgressExtents(R, Step, Progress);
  const int u = std::max(e.u, 1);  // a tiny frame or Step still has one cell
  const int a = e.sw / u, b = e.sh / u;
  if (a == 0 || b == 0) return Region();  // every rectangle is empty
  const int n = u > 1 ? u / 2 : u;
  const auto columns = GridSpans(n, e.W / n, a);
  const auto rows = GridSpans(n, e.H / n, b);
  std::vector<TRect> rects;
  rects.reserve(columns.size() * rows.size());
  for (auto [top, bottom] : rows)
    for (auto [left, right] : columns)
      rects.push_back({left, top, right, bottom});
  return Region::FromRects(rects);
}
KESTRAVA_REVEAL_THROUGH_REGION(RectangularShred)

// A pie slice from twelve o'clock whose P arc points lie 3.6 degrees apart: nothing at 1 %,
// almost the whole turn at 99 %. Its radius reaches the frame's corners.
#define KESTRAVA_SWEEP_EFFECT(name, turn)                                          \
  Region name##Region(const TRect& R, uint16_t Step, int Progress) {               \
    const TProgressExtents e = ProgressExtents(R, Step, Progress);                 \
    const int cx = e.W / 2, cy = e.H / 2;                                          \
    const int r = CeilSqrt(int64_t{cx} * cx + int64_t{cy} * cy);                   \
    return SectorRegion(cx, cy, r, -kPi / 2, turn * kPi / 50 - kPi / 2, Progress); \
  }                                                                                \
  KESTRAVA_REVEAL_THROUGH_REGION(name)

KESTRAVA_SWEEP_EFFECT(SweepClockwise, Progress)
KESTRAVA_SWEEP_EFFECT(SweepAnticlockwise, -Progress)

#undef KESTRAVA_SWEEP_EFFECT

// The centred sw by sh rectangle.
Region RotationalRectangleRegion(const TRect& R, uint16_t Step, int Progress) {
  const TProgressExtents e = ProgressExtents(R, Step, Progress);
  const int cx = e.W / 2, cy = e.H / 2, hw = e.sw / 2, hh = e.sh / 2;
  TPoint corners[] = {
      {cx - hw, cy - hh}, {cx + hw, cy - hh}, {cx + hw, cy + hh}, {cx - hw, cy + hh}};
  return Turned(corners, cx, cy, Progress);
}
KESTRAVA_REVEAL_THROUGH_REGION(RotationalRectangle)

// Four tips 2sw and 2sh from the centre, the corners between them a quarter of that out.
Region RotationalStarRegion(const TRect& R, uint16_t Step, int Progress) {
  const TProgressExtents e = ProgressExtents(R, Step, Progress);
  const int cx = e.W / 2, cy = e.H / 2, hw = e.sw / 2, hh = e.sh / 2;
  const int tx = 2 * e.sw, ty = 2 * e.sh;
  TPoint star[] = {{cx - tx, cy}, {cx - hw, cy - hh}, {cx, cy - ty}, {cx + hw, cy - hh},
                   {cx + tx, cy}, {cx + hw, cy + hh}, {cx, cy + ty}, {cx - hw, cy + hh}};
  return Turned(star, cx, cy, Progress);
}
KESTRAVA_REVEAL_THROUGH_REGION(RotationalStar)

}  // namespace kestrava
