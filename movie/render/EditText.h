#pragma once

// DefineEditText: a text field, shown with its initial text.

#include <cstdint>
#include <string>

#include "movie/SwfGeometry.h"
#include "movie/SwfMovie.h"

namespace kestrava::render {

enum class TTextAlign : uint8_t { Left, Right, Center, Justify };

struct TEditText {
  TSwfRect Bounds;
  bool WordWrap = false, Multiline = false, Password = false, Border = false, Html = false;
  bool UseOutlines = false;
  uint16_t FontId = 0;      // 0: none given
  double FontHeight = 240;  // twips
  TSwfRgba Color{0, 0, 0, 255};
  TTextAlign Align = TTextAlign::Left;
  double LeftMargin = 0, RightMargin = 0, Indent = 0, Leading = 0;  // twips
  std::string Text;  // UTF-8, markup removed when Html
};

// Throws ESwfError. Movies before version 6 store their text in Latin-1, which is converted.
TEditText ReadEditTextCharacter(const TSwfCharacter& character, uint8_t movieVersion);

// The text of an HTML text field: tags dropped, paragraphs and breaks as line feeds, the
// common entities decoded.
std::string PlainTextOfHtml(const std::string& html);

}  // namespace kestrava::render
