#pragma once

// Outlines for drawing: the edges of one fill style joined into closed contours, and the edges
// of one line style joined into strokes.

#include <cstdint>
#include <vector>

#include "movie/render/ShapeRecords.h"

namespace kestrava::render {

struct TPathSegment {
  bool Curved = false;
  double CX = 0, CY = 0;  // the quadratic control point of a curve
  double X = 0, Y = 0;    // the end
};

struct TContour {
  double X = 0, Y = 0;  // the start
  std::vector<TPathSegment> Segments;
  bool Closed = false;  // ends where it starts
};

using TPath = std::vector<TContour>;

// For each fill style 1 .. fillCount, the edges with it on either side, each turned so that
// the fill lies on the same side, chained end to start. An edge with the same fill on both
// sides is inside it and left out. Indexes past fillCount are ignored.
std::vector<TPath> BuildFillPaths(const std::vector<TEdge>& edges, size_t fillCount);

// For each line style 1 .. lineCount, its edges in stored order; an edge that starts where the
// previous one of its style ended continues that stroke (so the two join instead of getting
// caps).
std::vector<TPath> BuildLinePaths(const std::vector<TEdge>& edges, size_t lineCount);

}  // namespace kestrava::render
