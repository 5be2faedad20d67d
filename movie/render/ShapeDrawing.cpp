#include "movie/render/ShapeDrawing.h"

#include <unordered_map>

#include "movie/SwfTagCodes.h"

namespace kestrava::render {

namespace {

// Regions of one solid colour are filled together: where two of them meet, their shared edge
// (once each way round) cancels out instead of leaving a seam of half-covered pixels. Being of
// one colour, it does not matter which of them would have been drawn over the other.
void MergeSameColours(TDrawGroup& group) {
  group.Merged.assign(group.Fills.size(), false);
  std::unordered_map<uint32_t, size_t> firstOfColour;
  for (size_t i = 0; i < group.Fills.size(); ++i) {
    const TFillStyle& fill = group.Fills[i];
    if (fill.Kind != TFillKind::Solid || group.FillPaths[i].empty()) continue;
    const uint32_t key = uint32_t(fill.Color.R) << 24 | uint32_t(fill.Color.G) << 16 |
                         uint32_t(fill.Color.B) << 8 | fill.Color.A;
    const auto [found, added] = firstOfColour.emplace(key, i);
    if (added) continue;
    TPath& into = group.FillPaths[found->second];
    for (TContour& contour : group.FillPaths[i])
      into.push_back(std::move(contour));
    group.FillPaths[i].clear();
    group.Merged[found->second] = true;
  }
}

}  // namespace

TShapeDrawing CompileShape(std::vector<TStyleGroup> groups, const TSwfRect& bounds, bool nonZero) {
  TShapeDrawing drawing;
  drawing.Bounds = bounds;
  drawing.NonZero = nonZero;
  for (TStyleGroup& group : groups) {
    TDrawGroup out;
    out.FillPaths = BuildFillPaths(group.Edges, group.Fills.size());
    out.LinePaths = BuildLinePaths(group.Edges, group.Lines.size());
    out.Fills = std::move(group.Fills);
    out.Lines = std::move(group.Lines);
    MergeSameColours(out);
    drawing.Groups.push_back(std::move(out));
  }
  return drawing;
}

TShapeDrawing ReadShapeCharacter(const TSwfCharacter& character) {
  int version = 0;
  switch (character.TagCode) {
    case swftag::DefineShape:
      version = 1;
      break;
    case swftag::DefineShape2:
      version = 2;
      break;
    case swftag::DefineShape3:
      version = 3;
      break;
    case swftag::DefineShape4:
      version = 4;
      break;
    default:
      throw ESwfError("not a shape");
  }
  TSwfBits bits(character.Body);
  bits.U16();  // the id
  const TSwfRect bounds = ReadSwfRect(bits);
  bool nonZero = false;
  if (version == 4) {
    bits.Align();
    ReadSwfRect(bits);  // the edges without the strokes
    const uint8_t flags = bits.U8();
    nonZero = (flags & 0x04) != 0;
  }
  std::vector<TStyleGroup> groups(1);
  groups[0].Fills = ReadFillStyles(bits, version);
  groups[0].Lines = ReadLineStyles(bits, version);
  ReadShapeRecords(bits, version, groups);
  return CompileShape(std::move(groups), bounds, nonZero);
}

}  // namespace kestrava::render
