#include "movie/render/GradientPattern.h"

#include <algorithm>
#include <cmath>

#include "movie/render/CairoMatrix.h"

namespace kestrava::render {

namespace {

// The gradient square spans -16384 .. 16384 twips before the fill's matrix. The pattern is
// made on -1 .. 1 with that scale in its matrix: pixman keeps gradient coordinates in 16.16
// fixed point, which the stored square overflows as soon as a gradient repeats a few times.
constexpr double kGradientHalf = 16384;
// Steps per pair of stops that approximate mixing in linear light with cairo's sRGB mixing.
constexpr int kLinearSteps = 8;

double ToLinear(double c) {
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double ToSrgb(double c) {
  return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

void AddStop(cairo_pattern_t* pattern, double position, const TSwfRgba& c) {
  cairo_pattern_add_color_stop_rgba(pattern, position, c.R / 255.0, c.G / 255.0, c.B / 255.0,
                                    c.A / 255.0);
}

void AddLinearLightStops(cairo_pattern_t* pattern, const TGradientStop& a, const TGradientStop& b) {
  for (int i = 1; i < kLinearSteps; ++i) {
    const double t = double(i) / kLinearSteps;
    auto mix = [t](uint8_t x, uint8_t y) {
      const double lx = ToLinear(x / 255.0), ly = ToLinear(y / 255.0);
      return ToSrgb(lx + (ly - lx) * t);
    };
    cairo_pattern_add_color_stop_rgba(pattern, a.Position + (b.Position - a.Position) * t,
                                      mix(a.Color.R, b.Color.R), mix(a.Color.G, b.Color.G),
                                      mix(a.Color.B, b.Color.B),
                                      (a.Color.A + (b.Color.A - a.Color.A) * t) / 255.0);
  }
}

cairo_extend_t ExtendOf(TSpread spread) {
  switch (spread) {
    case TSpread::Reflect:
      return CAIRO_EXTEND_REFLECT;
    case TSpread::Repeat:
      return CAIRO_EXTEND_REPEAT;
    default:
      return CAIRO_EXTEND_PAD;
  }
}

// Stops as the reference player reads them: each stands at least one ratio step (1/255) after
// the one before it, so stops with equal or falling ratios follow each other closely in their
// stored order; what this pushes past the end is not used.
std::vector<TGradientStop> UsableStops(const std::vector<TGradientStop>& stops) {
  std::vector<TGradientStop> out;
  double previous = -1;
  for (const TGradientStop& stop : stops) {
    const double ratio = std::max(std::round(stop.Position * 255), previous + 1);
    if (ratio > 255) break;
    out.push_back({ratio / 255, stop.Color});
    previous = ratio;
  }
  return out;
}

}  // namespace

TCairoPattern MakeGradientPattern(const TFillStyle& fill, const TSwfColorTransform& transform) {
  // A gradient without stops fills black.
  std::vector<TGradientStop> stops = fill.Stops.empty()
                                         ? std::vector<TGradientStop>{{0, {0, 0, 0, 255}}}
                                         : UsableStops(fill.Stops);
  for (TGradientStop& stop : stops)
    stop.Color = transform.Apply(stop.Color);

  cairo_matrix_t inverse = ToCairo(fill.Matrix);
  cairo_matrix_scale(&inverse, kGradientHalf, kGradientHalf);
  // A gradient squeezed flat shows the colour of its end.
  if (!Usable(inverse) || cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) {
    const TSwfRgba& c = stops.back().Color;
    return TCairoPattern(
        cairo_pattern_create_rgba(c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0));
  }
  TCairoPattern pattern;
  if (fill.Kind == TFillKind::Linear) {
    pattern.reset(cairo_pattern_create_linear(-1, 0, 1, 0));
  } else {
    // The focal point stays inside the circle: on its rim cairo's two-circle gradient turns
    // into a cone.
    const double focal = fill.Kind == TFillKind::Focal ? std::clamp(fill.Focal, -0.98, 0.98) : 0.0;
    pattern.reset(cairo_pattern_create_radial(focal, 0, 0, 0, 0, 1));
  }
  for (size_t i = 0; i < stops.size(); ++i) {
    if (fill.LinearRgb && i > 0) AddLinearLightStops(pattern.get(), stops[i - 1], stops[i]);
    AddStop(pattern.get(), stops[i].Position, stops[i].Color);
  }
  cairo_pattern_set_extend(pattern.get(), ExtendOf(fill.Spread));
  cairo_pattern_set_matrix(pattern.get(), &inverse);
  return pattern;
}

}  // namespace kestrava::render
