#include "movie/render/MorphShape.h"

#include <algorithm>

#include "movie/SwfTagCodes.h"

namespace kestrava::render {

namespace {

std::vector<TEdge> ReadEdges(TSwfBits& bits) {
  std::vector<TStyleGroup> groups(1);
  ReadShapeRecords(bits, 0, groups);
  return std::move(groups[0].Edges);
}

double Mix(double a, double b, double t) {
  return a + (b - a) * t;
}

int32_t Mix(int32_t a, int32_t b, double t) {
  return int32_t(Mix(double(a), double(b), t));
}

}  // namespace

TMorphShape ReadMorphShapeCharacter(const TSwfCharacter& character) {
  if (character.TagCode != swftag::DefineMorphShape &&
      character.TagCode != swftag::DefineMorphShape2)
    throw ESwfError("not a morph shape");
  const int version = character.TagCode == swftag::DefineMorphShape2 ? 2 : 1;
  TSwfBits bits(character.Body);
  bits.U16();
  TMorphShape morph;
  morph.StartBounds = ReadSwfRect(bits);
  bits.Align();
  morph.EndBounds = ReadSwfRect(bits);
  if (version == 2) {
    bits.Align();
    ReadSwfRect(bits);
    bits.Align();
    ReadSwfRect(bits);
    bits.U8();
  }
  const uint32_t endOffset = bits.U32();
  const size_t endStart = bits.Position() + endOffset;
  morph.Fills = ReadMorphFillStyles(bits);
  morph.Lines = ReadMorphLineStyles(bits, version);
  morph.StartEdges = ReadEdges(bits);
  // The offset says where the end edges start; where it points outside, they follow the start.
  bits.Align();
  if (endOffset != 0 && endStart < character.Body.size()) {
    TSwfBits end(character.Body.subspan(endStart));
    morph.EndEdges = ReadEdges(end);
  } else {
    morph.EndEdges = ReadEdges(bits);
  }
  return morph;
}

TShapeDrawing MorphShapeAt(const TMorphShape& morph, uint16_t ratio) {
  const double t = ratio / 65535.0;
  std::vector<TStyleGroup> groups(1);
  TStyleGroup& group = groups[0];
  for (const TMorphFillStyle& fill : morph.Fills)
    group.Fills.push_back(InterpolateFill(fill, t));
  for (const TMorphLineStyle& line : morph.Lines)
    group.Lines.push_back(InterpolateLine(line, t));
  const size_t count = std::min(morph.StartEdges.size(), morph.EndEdges.size());
  group.Edges.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const TEdge& a = morph.StartEdges[i];
    const TEdge& b = morph.EndEdges[i];
    TEdge e = a;
    e.X0 = Mix(a.X0, b.X0, t);
    e.Y0 = Mix(a.Y0, b.Y0, t);
    e.CX = Mix(a.CX, b.CX, t);
    e.CY = Mix(a.CY, b.CY, t);
    e.X1 = Mix(a.X1, b.X1, t);
    e.Y1 = Mix(a.Y1, b.Y1, t);
    e.Curved = a.Curved || b.Curved;
    group.Edges.push_back(e);
  }
  TSwfRect bounds;
  bounds.XMin = Mix(morph.StartBounds.XMin, morph.EndBounds.XMin, t);
  bounds.XMax = Mix(morph.StartBounds.XMax, morph.EndBounds.XMax, t);
  bounds.YMin = Mix(morph.StartBounds.YMin, morph.EndBounds.YMin, t);
  bounds.YMax = Mix(morph.StartBounds.YMax, morph.EndBounds.YMax, t);
  return CompileShape(std::move(groups), bounds, false);
}

}  // namespace kestrava::render
