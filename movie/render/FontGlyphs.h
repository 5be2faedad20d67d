#pragma once

// DefineFont, DefineFont2 and DefineFont3: glyph outlines, and for DefineFont2/3 the character
// of each glyph and, with a layout, its advance.

#include <cstdint>
#include <vector>

#include "movie/SwfMovie.h"
#include "movie/render/ShapePaths.h"

namespace kestrava::render {

struct TFontGlyphs {
  // Glyph units in one text height: 1024, and 20 times finer for DefineFont3.
  double EmSquare = 1024;
  std::vector<TPath> Glyphs;
  std::vector<uint16_t> Codes;  // per glyph; empty for DefineFont
  bool HasLayout = false;
  double Ascent = 0, Descent = 0, Leading = 0;  // glyph units
  std::vector<double> Advances;                 // glyph units, with a layout

  // The glyph that shows `code`, or -1.
  int GlyphOf(uint16_t code) const;
};

// Throws ESwfError when the font's tables cannot be read; a glyph whose outline cannot be read
// stays empty.
TFontGlyphs ReadFontCharacter(const TSwfCharacter& character);

}  // namespace kestrava::render
