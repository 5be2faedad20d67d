#pragma once

// The outline records of shapes, morph shapes and glyphs: edges with the styles on their sides.

#include <cstdint>
#include <vector>

#include "movie/SwfBits.h"
#include "movie/render/ShapeStyles.h"

namespace kestrava::render {

// One straight or quadratic edge in twips. A straight edge keeps its midpoint as control point,
// so a morph can blend it with a curve.
struct TEdge {
  double X0 = 0, Y0 = 0, CX = 0, CY = 0, X1 = 0, Y1 = 0;
  bool Curved = false;
  // 1-based indexes into the group's styles; 0 is none. Fill0 lies left of the edge as drawn
  // (in y-down coordinates), Fill1 right.
  uint16_t Fill0 = 0, Fill1 = 0, Line = 0;
};

// Styles and the edges that use them. A shape's later groups (new style tables) draw on top.
struct TStyleGroup {
  std::vector<TFillStyle> Fills;
  std::vector<TLineStyle> Lines;
  std::vector<TEdge> Edges;
};

// Reads the SHAPE records that follow the style arrays into groups.back() (which must exist).
// For DefineShape1-4 (shapeVersion 1..4) a new style table opens a new group; glyphs and morph
// edges (shapeVersion 0) have none and a record that brings one throws ESwfError, as do more
// than kMaxShapeEdges edges and records past the end.
void ReadShapeRecords(TSwfBits& bits, int shapeVersion, std::vector<TStyleGroup>& groups);

}  // namespace kestrava::render
