#include "movie/render/ShapeStyles.h"

#include <cmath>

namespace kestrava::render {

namespace {

TSwfRgba ReadColor(TSwfBits& bits, bool withAlpha) {
  return withAlpha ? ReadSwfRgba(bits) : ReadSwfRgb(bits);
}

TSwfMatrix ReadMatrix(TSwfBits& bits) {
  bits.Align();
  return ReadSwfMatrix(bits);
}

// The byte in front of the gradient records: spread, interpolation and the stop count.
int ReadGradientHeader(TSwfBits& bits, TFillStyle& fill) {
  const uint8_t header = bits.U8();
  switch (header >> 6) {
    case 1:
      fill.Spread = TSpread::Reflect;
      break;
    case 2:
      fill.Spread = TSpread::Repeat;
      break;
    default:
      fill.Spread = TSpread::Pad;
      break;  // 3 is reserved
  }
  fill.LinearRgb = ((header >> 4) & 3) == 1;
  return header & 0x0F;
}

TFillKind GradientKind(uint8_t type) {
  return type == 0x10 ? TFillKind::Linear : type == 0x12 ? TFillKind::Radial : TFillKind::Focal;
}

void SetBitmapType(uint8_t type, TFillStyle& fill) {
  fill.Kind = TFillKind::Bitmap;
  fill.Repeat = (type & 1) == 0;
  fill.Smooth = (type & 2) == 0;
}

[[noreturn]] void UnknownFill() {
  throw ESwfError("a fill style of unknown type");
}

TFillStyle ReadFill(TSwfBits& bits, int version) {
  TFillStyle fill;
  const uint8_t type = bits.U8();
  if (type == 0x00) {
    fill.Color = ReadColor(bits, version >= 3);
  } else if (type == 0x10 || type == 0x12 || type == 0x13) {
    fill.Kind = GradientKind(type);
    fill.Matrix = ReadMatrix(bits);
    const int count = ReadGradientHeader(bits, fill);
    for (int i = 0; i < count; ++i) {
      TGradientStop stop;
      stop.Position = bits.U8() / 255.0;
      stop.Color = ReadColor(bits, version >= 3);
      fill.Stops.push_back(stop);
    }
    if (type == 0x13) fill.Focal = bits.Fixed8();
  } else if (type >= 0x40 && type <= 0x43) {
    SetBitmapType(type, fill);
    fill.BitmapId = bits.U16();
    fill.Matrix = ReadMatrix(bits);
  } else {
    UnknownFill();
  }
  return fill;
}

TMorphFillStyle ReadMorphFill(TSwfBits& bits) {
  TMorphFillStyle style;
  TFillStyle& start = style.Start;
  TFillStyle& end = style.End;
  const uint8_t type = bits.U8();
  if (type == 0x00) {
    start.Color = ReadSwfRgba(bits);
    end.Color = ReadSwfRgba(bits);
  } else if (type == 0x10 || type == 0x12 || type == 0x13) {
    start.Kind = end.Kind = GradientKind(type);
    start.Matrix = ReadMatrix(bits);
    end.Matrix = ReadMatrix(bits);
    const int count = ReadGradientHeader(bits, start);
    end.Spread = start.Spread;
    end.LinearRgb = start.LinearRgb;
    for (int i = 0; i < count; ++i) {
      TGradientStop a, b;
      a.Position = bits.U8() / 255.0;
      a.Color = ReadSwfRgba(bits);
      b.Position = bits.U8() / 255.0;
      b.Color = ReadSwfRgba(bits);
      start.Stops.push_back(a);
      end.Stops.push_back(b);
    }
    if (type == 0x13) {
      start.Focal = bits.Fixed8();
      end.Focal = bits.Fixed8();
    }
  } else if (type >= 0x40 && type <= 0x43) {
    SetBitmapType(type, start);
    SetBitmapType(type, end);
    start.BitmapId = end.BitmapId = bits.U16();
    start.Matrix = ReadMatrix(bits);
    end.Matrix = ReadMatrix(bits);
  } else {
    UnknownFill();
  }
  return style;
}

TCap CapOf(uint32_t value) {
  return value == 1 ? TCap::None : value == 2 ? TCap::Square : TCap::Round;
}

// The two bytes of flags of LINESTYLE2 and MORPHLINESTYLE2; true when a fill follows.
bool ReadLineFlags(TSwfBits& bits, TLineStyle& line) {
  bits.Align();
  line.Cap = CapOf(bits.UBits(2));
  const uint32_t join = bits.UBits(2);
  const bool hasFill = bits.Flag();
  line.NoHScale = bits.Flag();
  line.NoVScale = bits.Flag();
  bits.UBits(1);  // pixel hinting
  bits.UBits(5);
  line.NoClose = bits.Flag();
  bits.UBits(2);  // the end cap: one cap style serves both ends
  line.Join = join == 1 ? TJoin::Bevel : join == 2 ? TJoin::Miter : TJoin::Round;
  if (line.Join == TJoin::Miter) line.MiterLimit = bits.U16() / 256.0;
  return hasFill;
}

size_t ReadCount(TSwfBits& bits, bool extendedAllowed) {
  size_t count = bits.U8();
  if (count == 0xFF && extendedAllowed) count = bits.U16();
  return count;
}

uint8_t Mix(uint8_t a, uint8_t b, double t) {
  return uint8_t(std::lround(a + (b - a) * t));
}

TSwfRgba Mix(TSwfRgba a, TSwfRgba b, double t) {
  return {Mix(a.R, b.R, t), Mix(a.G, b.G, t), Mix(a.B, b.B, t), Mix(a.A, b.A, t)};
}

double Mix(double a, double b, double t) {
  return a + (b - a) * t;
}

TSwfMatrix Mix(const TSwfMatrix& a, const TSwfMatrix& b, double t) {
  TSwfMatrix m;
  m.ScaleX = Mix(a.ScaleX, b.ScaleX, t);
  m.RotateSkew0 = Mix(a.RotateSkew0, b.RotateSkew0, t);
  m.RotateSkew1 = Mix(a.RotateSkew1, b.RotateSkew1, t);
  m.ScaleY = Mix(a.ScaleY, b.ScaleY, t);
  m.TranslateX = Mix(a.TranslateX, b.TranslateX, t);
  m.TranslateY = Mix(a.TranslateY, b.TranslateY, t);
  return m;
}

}  // namespace

std::vector<TFillStyle> ReadFillStyles(TSwfBits& bits, int shapeVersion) {
  const size_t count = ReadCount(bits, shapeVersion >= 2);
  std::vector<TFillStyle> fills;
  fills.reserve(count);
  for (size_t i = 0; i < count; ++i)
    fills.push_back(ReadFill(bits, shapeVersion));
  return fills;
}

std::vector<TLineStyle> ReadLineStyles(TSwfBits& bits, int shapeVersion) {
  const size_t count = ReadCount(bits, true);
  std::vector<TLineStyle> lines;
  lines.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    TLineStyle line;
    line.Width = bits.U16();
    if (shapeVersion >= 4) {
      line.HasFill = ReadLineFlags(bits, line);
      if (line.HasFill)
        line.Fill = ReadFill(bits, 4);
      else
        line.Color = ReadSwfRgba(bits);
    } else {
      line.Color = ReadColor(bits, shapeVersion >= 3);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<TMorphFillStyle> ReadMorphFillStyles(TSwfBits& bits) {
  const size_t count = ReadCount(bits, true);
  std::vector<TMorphFillStyle> fills;
  fills.reserve(count);
  for (size_t i = 0; i < count; ++i)
    fills.push_back(ReadMorphFill(bits));
  return fills;
}

std::vector<TMorphLineStyle> ReadMorphLineStyles(TSwfBits& bits, int morphVersion) {
  const size_t count = ReadCount(bits, true);
  std::vector<TMorphLineStyle> lines;
  lines.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    TMorphLineStyle style;
    const double startWidth = bits.U16();
    const double endWidth = bits.U16();
    if (morphVersion >= 2) {
      const bool hasFill = ReadLineFlags(bits, style.Start);
      style.Start.HasFill = hasFill;
      style.End = style.Start;
      if (hasFill) {
        TMorphFillStyle fill = ReadMorphFill(bits);
        style.Start.Fill = std::move(fill.Start);
        style.End.Fill = std::move(fill.End);
      } else {
        style.Start.Color = ReadSwfRgba(bits);
        style.End.Color = ReadSwfRgba(bits);
      }
    } else {
      style.Start.Color = ReadSwfRgba(bits);
      style.End.Color = ReadSwfRgba(bits);
    }
    style.Start.Width = startWidth;
    style.End.Width = endWidth;
    lines.push_back(std::move(style));
  }
  return lines;
}

TFillStyle InterpolateFill(const TMorphFillStyle& style, double t) {
  TFillStyle fill = style.Start;
  fill.Color = Mix(style.Start.Color, style.End.Color, t);
  fill.Matrix = Mix(style.Start.Matrix, style.End.Matrix, t);
  fill.Focal = Mix(style.Start.Focal, style.End.Focal, t);
  for (size_t i = 0; i < fill.Stops.size() && i < style.End.Stops.size(); ++i) {
    fill.Stops[i].Position = Mix(style.Start.Stops[i].Position, style.End.Stops[i].Position, t);
    fill.Stops[i].Color = Mix(style.Start.Stops[i].Color, style.End.Stops[i].Color, t);
  }
  return fill;
}

TLineStyle InterpolateLine(const TMorphLineStyle& style, double t) {
  TLineStyle line = style.Start;
  line.Width = Mix(style.Start.Width, style.End.Width, t);
  line.Color = Mix(style.Start.Color, style.End.Color, t);
  if (line.HasFill) line.Fill = InterpolateFill({style.Start.Fill, style.End.Fill}, t);
  return line;
}

}  // namespace kestrava::render
