#pragma once

// Shapes cost time in proportion to their size on every backend: a round rectangle's corner
// ellipse may be at most kMaxEllipseSide pixels wide or high (after it is reduced to the
// rectangle), and a polygon's edges may cross at most kMaxCrossings rows in total. Far beyond any
// screen; it keeps a hostile caller from asking for gigabytes. Larger shapes throw
// std::length_error.

#include <cstdint>
#include <span>
#include <vector>

#include "raster/Rect.h"

namespace kestrava {

inline constexpr int64_t kMaxEllipseSide = int64_t{1} << 20;
inline constexpr int64_t kMaxCrossings = int64_t{1} << 22;

// Bands of rectangles in the y-x banded order with touching pieces joined and each band that
// repeats the touching band above it merged into that one; false, leaving `out` unspecified,
// as soon as the order breaks.
bool CollectBanded(std::span<const TRect> in, std::vector<TRect>& out);

}  // namespace kestrava
