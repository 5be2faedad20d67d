#pragma once

// The fill and line styles of shapes, morph shapes and glyphs as read from their tags.

#include <cstdint>
#include <vector>

#include "movie/SwfBits.h"
#include "movie/SwfGeometry.h"

namespace kestrava::render {

enum class TFillKind : uint8_t { Solid, Linear, Radial, Focal, Bitmap };
enum class TSpread : uint8_t { Pad, Reflect, Repeat };

struct TGradientStop {
  double Position = 0;  // 0 .. 1 across the gradient square (the stored ratio / 255)
  TSwfRgba Color;
};

struct TFillStyle {
  TFillKind Kind = TFillKind::Solid;
  TSwfRgba Color;
  // Gradients: the square from -16384 to 16384 twips onto the shape; bitmaps: pixels onto the
  // shape (twips).
  TSwfMatrix Matrix;
  std::vector<TGradientStop> Stops;
  TSpread Spread = TSpread::Pad;
  bool LinearRgb = false;  // stops mixed in linear light
  double Focal = 0;        // focal gradients: -1 .. 1 along the x axis
  uint16_t BitmapId = 0;
  bool Repeat = true;
  bool Smooth = true;
};

enum class TCap : uint8_t { Round, None, Square };
enum class TJoin : uint8_t { Round, Bevel, Miter };

struct TLineStyle {
  double Width = 0;  // twips; 0 is a hairline
  TSwfRgba Color;
  TCap Cap = TCap::Round;
  TJoin Join = TJoin::Round;
  double MiterLimit = 3;
  bool NoHScale = false;
  bool NoVScale = false;
  bool NoClose = false;
  bool HasFill = false;  // the stroke is painted with Fill instead of Color
  TFillStyle Fill;
};

struct TMorphFillStyle {
  TFillStyle Start, End;
};
struct TMorphLineStyle {
  TLineStyle Start, End;
};

// Style arrays of DefineShape1-4 (shapeVersion 1..4). Throw ESwfError on an unknown fill type
// or a field past the end.
std::vector<TFillStyle> ReadFillStyles(TSwfBits& bits, int shapeVersion);
std::vector<TLineStyle> ReadLineStyles(TSwfBits& bits, int shapeVersion);
// Style arrays of DefineMorphShape (1) and DefineMorphShape2 (2).
std::vector<TMorphFillStyle> ReadMorphFillStyles(TSwfBits& bits);
std::vector<TMorphLineStyle> ReadMorphLineStyles(TSwfBits& bits, int morphVersion);

// The styles between start (t = 0) and end (t = 1).
TFillStyle InterpolateFill(const TMorphFillStyle& style, double t);
TLineStyle InterpolateLine(const TMorphLineStyle& style, double t);

}  // namespace kestrava::render
