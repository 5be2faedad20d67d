#pragma once

// DefineMorphShape and DefineMorphShape2: a start and an end shape with the same edges, drawn
// in between by the placed object's ratio.

#include <cstdint>
#include <vector>

#include "movie/SwfMovie.h"
#include "movie/render/ShapeDrawing.h"

namespace kestrava::render {

struct TMorphShape {
  TSwfRect StartBounds, EndBounds;
  std::vector<TMorphFillStyle> Fills;
  std::vector<TMorphLineStyle> Lines;
  std::vector<TEdge> StartEdges;  // with the style indexes
  std::vector<TEdge> EndEdges;    // the same edges at the end; their styles are not used
};

// Throws ESwfError.
TMorphShape ReadMorphShapeCharacter(const TSwfCharacter& character);

// The shape at ratio (0 the start, 65535 the end). Edges pair up in order; an end with fewer
// edges than the start leaves the rest out.
TShapeDrawing MorphShapeAt(const TMorphShape& morph, uint16_t ratio);

}  // namespace kestrava::render
