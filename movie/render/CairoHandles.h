#pragma once

// Owning handles for cairo objects.

#include <cairo.h>

#include <memory>

namespace kestrava::render {

struct TCairoDeleter {
  void operator()(cairo_t* p) const { cairo_destroy(p); }
  void operator()(cairo_surface_t* p) const { cairo_surface_destroy(p); }
  void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};

using TCairo = std::unique_ptr<cairo_t, TCairoDeleter>;
using TCairoSurface = std::unique_ptr<cairo_surface_t, TCairoDeleter>;
using TCairoPattern = std::unique_ptr<cairo_pattern_t, TCairoDeleter>;

}  // namespace kestrava::render
