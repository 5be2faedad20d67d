#pragma once

// Bounds that keep a hostile movie from making the renderer allocate or work without end.

#include <cstddef>
#include <cstdint>

namespace kestrava::render {

// Edges of one shape, all style groups together (a record takes at least 6 bits).
constexpr size_t kMaxShapeEdges = size_t{1} << 20;
// Pixels of one bitmap character: 64 MiB once decoded.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 24;
// Pixels of all bitmaps of a movie kept at once (256 MiB): a few damaged bytes can claim a
// large picture, and a movie can hold thousands of them.
constexpr int64_t kMaxBitmapPixelsPerMovie = int64_t{1} << 26;
// Sprites and buttons inside each other; a button may even show itself.
constexpr int kMaxNesting = 32;
// Objects drawn (or measured) in one frame, sprite and button contents included: a button
// that shows itself twice would otherwise double the work at every level.
constexpr int64_t kMaxObjectsPerFrame = int64_t{1} << 16;
// Glyphs of one text or font.
constexpr size_t kMaxGlyphs = size_t{1} << 16;
// Characters of a text field's text that are laid out.
constexpr size_t kMaxFieldText = size_t{1} << 14;
// Morph shapes keep the shapes of this many ratios.
constexpr size_t kMorphRatiosKept = 8;
// Device coordinates beyond this cannot be represented by cairo's fixed-point paths.
constexpr double kMaxDeviceCoordinate = 4.0e6;

}  // namespace kestrava::render
