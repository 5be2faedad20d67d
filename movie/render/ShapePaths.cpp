#include "movie/render/ShapePaths.h"

#include <cmath>
#include <optional>
#include <unordered_map>

namespace kestrava::render {

namespace {

// Points meet when they agree to 1/256 twip: exact for stored shapes, and a morph blends the
// shared end of two edges with the same arithmetic anyway.
struct TPointKey {
  int64_t X, Y;
  bool operator==(const TPointKey&) const = default;
};
struct TPointKeyHash {
  size_t operator()(const TPointKey& k) const {
    return std::hash<int64_t>()(k.X * 0x9E3779B97F4A7C15LL ^ k.Y);
  }
};
TPointKey KeyOf(double x, double y) {
  return {std::llround(x * 256), std::llround(y * 256)};
}

struct TDirectedEdge {
  double X0, Y0, CX, CY, X1, Y1;
  bool Curved;
};

TDirectedEdge Forward(const TEdge& e) {
  return {e.X0, e.Y0, e.CX, e.CY, e.X1, e.Y1, e.Curved};
}
TDirectedEdge Backward(const TEdge& e) {
  return {e.X1, e.Y1, e.CX, e.CY, e.X0, e.Y0, e.Curved};
}

TPathSegment SegmentOf(const TDirectedEdge& e) {
  return {e.Curved, e.CX, e.CY, e.X1, e.Y1};
}

// Joins the edges of one fill into contours.
TPath Chain(const std::vector<TDirectedEdge>& directed) {
  // Edges by their start, in stored order; used ones are skipped when met.
  std::unordered_map<TPointKey, std::vector<size_t>, TPointKeyHash> byStart;
  byStart.reserve(directed.size());
  for (size_t i = 0; i < directed.size(); ++i)
    byStart[KeyOf(directed[i].X0, directed[i].Y0)].push_back(i);
  std::unordered_map<TPointKey, size_t, TPointKeyHash> nextCandidate;
  std::vector<bool> used(directed.size(), false);

  // The unused edge starting at the point, the one right after `previous` first: stored order
  // mostly walks the outline already.
  auto takeFrom = [&](double x, double y, size_t previous) -> std::optional<size_t> {
    if (previous + 1 < directed.size() && !used[previous + 1] &&
        KeyOf(directed[previous + 1].X0, directed[previous + 1].Y0) == KeyOf(x, y))
      return previous + 1;
    const auto found = byStart.find(KeyOf(x, y));
    if (found == byStart.end()) return std::nullopt;
    size_t& next = nextCandidate[found->first];
    while (next < found->second.size() && used[found->second[next]])
      ++next;
    if (next == found->second.size()) return std::nullopt;
    return found->second[next];
  };

  TPath path;
  for (size_t first = 0; first < directed.size(); ++first) {
    if (used[first]) continue;
    used[first] = true;
    TContour contour;
    contour.X = directed[first].X0;
    contour.Y = directed[first].Y0;
    contour.Segments.push_back(SegmentOf(directed[first]));
    const TPointKey start = KeyOf(contour.X, contour.Y);
    size_t current = first;
    while (KeyOf(directed[current].X1, directed[current].Y1) != start) {
      const auto next = takeFrom(directed[current].X1, directed[current].Y1, current);
      if (!next) break;
      used[*next] = true;
      contour.Segments.push_back(SegmentOf(directed[*next]));
      current = *next;
    }
    contour.Closed = KeyOf(directed[current].X1, directed[current].Y1) == start;
    path.push_back(std::move(contour));
  }
  return path;
}

}  // namespace

std::vector<TPath> BuildFillPaths(const std::vector<TEdge>& edges, size_t fillCount) {
  // One pass sorts the edges by fill: shapes with thousands of fills stay linear.
  std::vector<std::vector<TDirectedEdge>> byFill(fillCount + 1);
  for (const TEdge& e : edges) {
    if (e.Fill0 == e.Fill1) continue;
    if (!e.Curved && e.X0 == e.X1 && e.Y0 == e.Y1) continue;
    if (e.Fill1 >= 1 && e.Fill1 <= fillCount) byFill[e.Fill1].push_back(Forward(e));
    if (e.Fill0 >= 1 && e.Fill0 <= fillCount) byFill[e.Fill0].push_back(Backward(e));
  }
  std::vector<TPath> paths;
  paths.reserve(fillCount);
  for (size_t fill = 1; fill <= fillCount; ++fill)
    paths.push_back(Chain(byFill[fill]));
  return paths;
}

std::vector<TPath> BuildLinePaths(const std::vector<TEdge>& edges, size_t lineCount) {
  std::vector<TPath> paths(lineCount);
  // Where each style's current stroke ends.
  std::vector<std::pair<double, double>> ends(lineCount);
  for (const TEdge& e : edges) {
    if (e.Line < 1 || e.Line > lineCount) continue;
    TPath& path = paths[e.Line - 1];
    auto& [endX, endY] = ends[e.Line - 1];
    if (path.empty() || e.X0 != endX || e.Y0 != endY) {
      path.emplace_back();
      path.back().X = e.X0;
      path.back().Y = e.Y0;
    }
    path.back().Segments.push_back({e.Curved, e.CX, e.CY, e.X1, e.Y1});
    endX = e.X1;
    endY = e.Y1;
  }
  for (TPath& path : paths) {
    for (TContour& contour : path) {
      const TPathSegment& last = contour.Segments.back();
      contour.Closed = contour.Segments.size() > 1 && last.X == contour.X && last.Y == contour.Y;
    }
  }
  return paths;
}

}  // namespace kestrava::render
