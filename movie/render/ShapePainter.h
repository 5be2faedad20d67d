#pragma once

// Fills and strokes with cairo: shapes, glyph outlines and bitmaps placed on their own.

#include <cairo.h>

#include "movie/render/CharacterLibrary.h"
#include "movie/render/PaintState.h"
#include "movie/render/ShapeDrawing.h"

namespace kestrava::render {

// What every painter shares for one frame.
struct TPaintTarget {
  cairo_t* Cr = nullptr;
  TCharacterLibrary* Library = nullptr;
  double StagePixelsPerTwip = 0.05;  // for strokes that do not scale with their object
};

// Adds the path in the current user space; closed contours get a closing segment.
void AppendPath(cairo_t* cr, const TPath& path, bool closeContours);

// Fills path (twips of the object, state.Matrix onto the device) with the style.
void FillPath(const TPaintTarget& target, const TPath& path, const TFillStyle& style,
              const TPaintState& state, bool nonZero);

// Every group of the shape in turn: its fills by style, then its strokes.
void PaintShape(const TPaintTarget& target, const TShapeDrawing& shape, const TPaintState& state);

// A bitmap character placed directly: one twip-sized cell per 1/20 pixel.
void PaintBitmapCharacter(const TPaintTarget& target, uint16_t id, const TPaintState& state);

}  // namespace kestrava::render
