#pragma once

// DefineText and DefineText2: runs of glyphs from embedded fonts, placed by stored advances.

#include <cstdint>
#include <vector>

#include "movie/SwfGeometry.h"
#include "movie/SwfMovie.h"

namespace kestrava::render {

struct TPlacedGlyph {
  uint16_t Index = 0;   // into the font's glyphs
  double X = 0, Y = 0;  // the origin on the baseline, twips in the text's space
};

struct TTextRun {
  uint16_t FontId = 0;
  double Height = 0;  // twips
  TSwfRgba Color;
  std::vector<TPlacedGlyph> Glyphs;
};

struct TStaticText {
  TSwfRect Bounds;
  TSwfMatrix Matrix;  // the text's space onto the character's
  std::vector<TTextRun> Runs;
};

// Throws ESwfError; runs read before a damaged record are not kept.
TStaticText ReadStaticTextCharacter(const TSwfCharacter& character);

}  // namespace kestrava::render
