#include "movie/render/ShapeRecords.h"

#include "movie/render/RenderLimits.h"

namespace kestrava::render {

namespace {

// Field widths may be 0, which stands for the value 0.
uint32_t Unsigned(TSwfBits& bits, int count) {
  return count > 0 ? bits.UBits(count) : 0;
}
int32_t Signed(TSwfBits& bits, int count) {
  return count > 0 ? bits.SBits(count) : 0;
}

}  // namespace

void ReadShapeRecords(TSwfBits& bits, int shapeVersion, std::vector<TStyleGroup>& groups) {
  bits.Align();
  int fillBits = int(bits.UBits(4));
  int lineBits = int(bits.UBits(4));
  double x = 0, y = 0;
  uint16_t fill0 = 0, fill1 = 0, line = 0;
  size_t edges = 0;
  for (;;) {
    if (bits.Flag()) {
      TEdge edge{x, y, x, y, x, y, false, fill0, fill1, line};
      if (bits.Flag()) {
        const int n = int(bits.UBits(4)) + 2;
        double dx = 0, dy = 0;
        if (bits.Flag()) {
          dx = bits.SBits(n);
          dy = bits.SBits(n);
        } else if (bits.Flag()) {
          dy = bits.SBits(n);
        } else {
          dx = bits.SBits(n);
        }
        edge.X1 = x + dx;
        edge.Y1 = y + dy;
        edge.CX = x + dx / 2;
        edge.CY = y + dy / 2;
      } else {
        const int n = int(bits.UBits(4)) + 2;
        edge.CX = x + bits.SBits(n);
        edge.CY = y + bits.SBits(n);
        edge.X1 = edge.CX + bits.SBits(n);
        edge.Y1 = edge.CY + bits.SBits(n);
        edge.Curved = true;
      }
      if (++edges > kMaxShapeEdges) throw ESwfError("a shape with too many edges");
      x = edge.X1;
      y = edge.Y1;
      groups.back().Edges.push_back(edge);
      continue;
    }
    const uint32_t flags = bits.UBits(5);
    if (flags == 0) break;
    if (flags & 1) {
      const int n = int(bits.UBits(5));
      x = Signed(bits, n);
      y = Signed(bits, n);
    }
    // The style indexes come before a new style table but point into it.
    const uint16_t newFill0 = uint16_t(flags & 2 ? Unsigned(bits, fillBits) : fill0);
    const uint16_t newFill1 = uint16_t(flags & 4 ? Unsigned(bits, fillBits) : fill1);
    const uint16_t newLine = uint16_t(flags & 8 ? Unsigned(bits, lineBits) : line);
    fill0 = newFill0;
    fill1 = newFill1;
    line = newLine;
    if (flags & 16) {
      if (shapeVersion < 1) throw ESwfError("new styles inside a glyph or morph shape");
      TStyleGroup group;
      group.Fills = ReadFillStyles(bits, shapeVersion);
      group.Lines = ReadLineStyles(bits, shapeVersion);
      groups.push_back(std::move(group));
      bits.Align();
      fillBits = int(bits.UBits(4));
      lineBits = int(bits.UBits(4));
      if (!(flags & 2)) fill0 = 0;
      if (!(flags & 4)) fill1 = 0;
      if (!(flags & 8)) line = 0;
    }
  }
}

}  // namespace kestrava::render
