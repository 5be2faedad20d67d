#include "movie/render/CairoMatrix.h"

#include <cmath>

namespace kestrava::render {

cairo_matrix_t ToCairo(const TSwfMatrix& m) {
  cairo_matrix_t out;
  cairo_matrix_init(&out, m.ScaleX, m.RotateSkew0, m.RotateSkew1, m.ScaleY, m.TranslateX,
                    m.TranslateY);
  return out;
}

cairo_matrix_t Compose(const cairo_matrix_t& outer, const cairo_matrix_t& inner) {
  cairo_matrix_t out;
  cairo_matrix_multiply(&out, &inner, &outer);
  return out;
}

bool Usable(const cairo_matrix_t& m) {
  for (double v : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
    if (!std::isfinite(v)) return false;
  const double det = m.xx * m.yy - m.xy * m.yx;
  return std::isfinite(det) && std::fabs(det) > 1e-12;
}

double ScaleOf(const cairo_matrix_t& m) {
  return std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx));
}

}  // namespace kestrava::render
