#pragma once

// Static text with embedded glyphs, and text fields with their initial text.

#include "movie/render/EditText.h"
#include "movie/render/PaintState.h"
#include "movie/render/ShapePainter.h"
#include "movie/render/StaticText.h"

namespace kestrava::render {

void PaintStaticText(const TPaintTarget& target, const TStaticText& text, const TPaintState& state);

// The field's text in its embedded glyphs when it asks for them and the font has a character
// table, else in DejaVu Sans; inside the field's bounds, with a 2-pixel gutter, border and
// background when the field has a border.
void PaintEditText(const TPaintTarget& target, const TEditText& field, const TPaintState& state);

}  // namespace kestrava::render
