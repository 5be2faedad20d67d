#include "movie/render/ShapePainter.h"

#include <algorithm>

#include "movie/render/CairoMatrix.h"
#include "movie/render/GradientPattern.h"

namespace kestrava::render {

namespace {

constexpr double kTwipsPerPixel = 20;

// A transform that changes nothing but alpha can be applied while painting, which spares a
// transformed copy of a bitmap.
bool AlphaOnly(const TSwfColorTransform& t) {
  return t.MulR == 1 && t.MulG == 1 && t.MulB == 1 && t.AddR == 0 && t.AddG == 0 && t.AddB == 0 &&
         t.AddA == 0 && t.MulA <= 1;
}

bool SetColor(cairo_t* cr, const TSwfRgba& c) {
  if (c.A == 0) return false;
  cairo_set_source_rgba(cr, c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0);
  return true;
}

// The bitmap as a source, its pixels onto the object's twips by `pixelsToTwips`; *alpha gets
// what is left to apply while painting.
bool SetBitmapSource(const TPaintTarget& target, uint16_t id, const cairo_matrix_t& pixelsToTwips,
                     bool repeat, bool smooth, const TPaintState& state, bool alphaWhilePainting,
                     double* alpha) {
  cairo_surface_t* surface = nullptr;
  if (alphaWhilePainting && AlphaOnly(state.Transform)) {
    surface = target.Library->Bitmap(id);
    *alpha = std::max(0.0, state.Transform.MulA);
  } else {
    surface = target.Library->Bitmap(id, state.Transform);
  }
  if (!surface || *alpha <= 0) return false;
  cairo_matrix_t inverse = pixelsToTwips;
  if (!Usable(inverse) || cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) return false;
  TCairoPattern pattern(cairo_pattern_create_for_surface(surface));
  cairo_pattern_set_matrix(pattern.get(), &inverse);
  cairo_pattern_set_extend(pattern.get(), repeat ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern.get(), smooth ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
  cairo_set_source(target.Cr, pattern.get());
  return true;
}

// Sets the source for the style in the current user space; false when it draws nothing.
bool SetSource(const TPaintTarget& target, const TFillStyle& style, const TPaintState& state,
               bool alphaWhilePainting, double* alpha) {
  *alpha = 1;
  cairo_t* cr = target.Cr;
  if (state.MaskMode) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    return true;
  }
  switch (style.Kind) {
    case TFillKind::Solid:
      return SetColor(cr, state.Transform.Apply(style.Color));
    case TFillKind::Bitmap:
      return SetBitmapSource(target, style.BitmapId, ToCairo(style.Matrix), style.Repeat,
                             style.Smooth, state, alphaWhilePainting, alpha);
    default: {
      TCairoPattern pattern = MakeGradientPattern(style, state.Transform);
      if (!pattern) return false;
      cairo_set_source(cr, pattern.get());
      return true;
    }
  }
}

cairo_line_cap_t CapOf(TCap cap) {
  switch (cap) {
    case TCap::None:
      return CAIRO_LINE_CAP_BUTT;
    case TCap::Square:
      return CAIRO_LINE_CAP_SQUARE;
    default:
      return CAIRO_LINE_CAP_ROUND;
  }
}

cairo_line_join_t JoinOf(TJoin join) {
  switch (join) {
    case TJoin::Bevel:
      return CAIRO_LINE_JOIN_BEVEL;
    case TJoin::Miter:
      return CAIRO_LINE_JOIN_MITER;
    default:
      return CAIRO_LINE_JOIN_ROUND;
  }
}

void StrokePath(const TPaintTarget& target, const TPath& path, const TLineStyle& style,
                const TPaintState& state) {
  if (path.empty()) return;
  cairo_t* cr = target.Cr;
  cairo_set_matrix(cr, &state.Matrix);
  double alpha = 1;
  if (style.HasFill && !state.MaskMode) {
    if (!SetSource(target, style.Fill, state, false, &alpha)) return;
  } else if (!state.MaskMode) {
    if (!SetColor(cr, state.Transform.Apply(style.Color))) return;
  } else {
    cairo_set_source_rgb(cr, 0, 0, 0);
  }
  cairo_new_path(cr);
  AppendPath(cr, path, !style.NoClose);
  // Strokes are drawn in device space: a round pen, at least one pixel wide.
  const double scale =
      style.NoHScale || style.NoVScale ? target.StagePixelsPerTwip : ScaleOf(state.Matrix);
  cairo_identity_matrix(cr);
  cairo_set_line_width(cr, std::max(style.Width * scale, 1.0));
  cairo_set_line_cap(cr, CapOf(style.Cap));
  cairo_set_line_join(cr, JoinOf(style.Join));
  cairo_set_miter_limit(cr, std::max(style.MiterLimit, 1.0));
  cairo_stroke(cr);
}

}  // namespace

void AppendPath(cairo_t* cr, const TPath& path, bool closeContours) {
  for (const TContour& contour : path) {
    double x = contour.X, y = contour.Y;
    cairo_move_to(cr, x, y);
    for (const TPathSegment& s : contour.Segments) {
      if (s.Curved) {
        // The quadratic as a cubic: control points two thirds of the way to its control.
        cairo_curve_to(cr, x + 2.0 / 3 * (s.CX - x), y + 2.0 / 3 * (s.CY - y),
                       s.X + 2.0 / 3 * (s.CX - s.X), s.Y + 2.0 / 3 * (s.CY - s.Y), s.X, s.Y);
      } else {
        cairo_line_to(cr, s.X, s.Y);
      }
      x = s.X;
      y = s.Y;
    }
    if (closeContours && contour.Closed) cairo_close_path(cr);
  }
}

void FillPath(const TPaintTarget& target, const TPath& path, const TFillStyle& style,
              const TPaintState& state, bool nonZero) {
  if (path.empty()) return;
  cairo_t* cr = target.Cr;
  cairo_set_matrix(cr, &state.Matrix);
  double alpha = 1;
  if (!SetSource(target, style, state, true, &alpha)) return;
  cairo_new_path(cr);
  AppendPath(cr, path, false);
  cairo_set_fill_rule(cr, nonZero ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  if (alpha < 1) {
    cairo_save(cr);
    cairo_clip(cr);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
  } else {
    cairo_fill(cr);
  }
}

void PaintShape(const TPaintTarget& target, const TShapeDrawing& shape, const TPaintState& state) {
  for (const TDrawGroup& group : shape.Groups) {
    for (size_t i = 0; i < group.Fills.size() && i < group.FillPaths.size(); ++i)
      FillPath(target, group.FillPaths[i], group.Fills[i], state,
               shape.NonZero || (i < group.Merged.size() && group.Merged[i]));
    for (size_t i = 0; i < group.Lines.size() && i < group.LinePaths.size(); ++i)
      StrokePath(target, group.LinePaths[i], group.Lines[i], state);
  }
}

void PaintBitmapCharacter(const TPaintTarget& target, uint16_t id, const TPaintState& state) {
  cairo_surface_t* surface = target.Library->Bitmap(id);
  if (!surface) return;
  cairo_t* cr = target.Cr;
  cairo_set_matrix(cr, &state.Matrix);
  cairo_matrix_t pixelsToTwips;
  cairo_matrix_init_scale(&pixelsToTwips, kTwipsPerPixel, kTwipsPerPixel);
  double alpha = 1;
  if (state.MaskMode) {
    cairo_set_source_rgb(cr, 0, 0, 0);
  } else if (!SetBitmapSource(target, id, pixelsToTwips, false, false, state, true, &alpha)) {
    return;
  }
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(surface) * kTwipsPerPixel,
                  cairo_image_surface_get_height(surface) * kTwipsPerPixel);
  cairo_save(cr);
  cairo_clip(cr);
  cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}

}  // namespace kestrava::render
