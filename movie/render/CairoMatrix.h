#pragma once

#include <cairo.h>

#include "movie/SwfGeometry.h"

namespace kestrava::render {

cairo_matrix_t ToCairo(const TSwfMatrix& m);

// `inner` applied first, then `outer`.
cairo_matrix_t Compose(const cairo_matrix_t& outer, const cairo_matrix_t& inner);

// Finite and invertible, so cairo takes it without falling into its error state; a matrix
// that squeezes everything to a line draws nothing anyway.
bool Usable(const cairo_matrix_t& m);

// Device pixels per unit along the matrix's axes, on average.
double ScaleOf(const cairo_matrix_t& m);

}  // namespace kestrava::render
