#pragma once

#include <cairo.h>

#include "movie/SwfGeometry.h"

namespace kestrava::render {

// How one object is drawn: where, in which colours, and into what.
struct TPaintState {
  cairo_matrix_t Matrix{1, 0, 0, 1, 0, 0};  // the object's twips onto device pixels
  TSwfColorTransform Transform;
  bool MaskMode = false;  // only the coverage counts: the object is a mask
  bool InLayer = false;   // drawn into a group of its own, where alpha and erase blend work
};

}  // namespace kestrava::render
