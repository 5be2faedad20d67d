#pragma once

#include "movie/SwfGeometry.h"
#include "movie/render/CairoHandles.h"
#include "movie/render/ShapeStyles.h"

namespace kestrava::render {

// A cairo pattern for a linear, radial or focal gradient fill in the shape's twips, the
// colour transform applied to its stops.
TCairoPattern MakeGradientPattern(const TFillStyle& fill, const TSwfColorTransform& transform);

}  // namespace kestrava::render
