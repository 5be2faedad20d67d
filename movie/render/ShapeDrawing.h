#pragma once

// A shape ready to draw: per style group its styles with the outline each one fills or strokes.
// DefineShape1-4 are read once into this; morph shapes make one per ratio.

#include <cstdint>
#include <vector>

#include "movie/SwfGeometry.h"
#include "movie/SwfMovie.h"
#include "movie/render/ShapePaths.h"
#include "movie/render/ShapeStyles.h"

namespace kestrava::render {

struct TDrawGroup {
  std::vector<TFillStyle> Fills;
  std::vector<TLineStyle> Lines;
  std::vector<TPath> FillPaths;  // one per fill style
  std::vector<TPath> LinePaths;  // one per line style
  // Per fill style: its path holds the outlines of other fill styles of the same colour too,
  // and is filled by the non-zero rule, so that where two of them overlap nothing cancels.
  std::vector<bool> Merged;
};

struct TShapeDrawing {
  TSwfRect Bounds;       // twips, the strokes included
  bool NonZero = false;  // DefineShape4 may ask for the non-zero winding rule
  std::vector<TDrawGroup> Groups;
};

TShapeDrawing CompileShape(std::vector<TStyleGroup> groups, const TSwfRect& bounds, bool nonZero);

// DefineShape, DefineShape2, DefineShape3 and DefineShape4. Throws ESwfError.
TShapeDrawing ReadShapeCharacter(const TSwfCharacter& character);

}  // namespace kestrava::render
