#include "imaging/GifDrawing.h"

#include <cstring>

namespace kestrava {

void DrawGifFrame(TCanvas& canvas, const TRect& dest, const TBitmap& picture,
                  const TGifMask* mask) {
  if (!mask) {
    canvas.StretchDraw(dest, picture);
    return;
  }
  TBitmap& target = canvas.Bitmap();
  // Only the part of dest on the canvas is worked on: a frame far off the screen may stretch to
  // a rectangle far larger than any bitmap.
  const TRect part = Intersect(dest.Normalized(), {0, 0, target.Width(), target.Height()});
  const int w = part.Width(), h = part.Height();
  if (part.IsEmpty() || picture.Empty()) return;
  // The picture and its mask are stretched the same way onto a copy of what lies beneath, and
  // the copy goes back through the canvas, which clips it.
  const TRect whole{0, 0, w, h};
  const auto stretch = [&](TBitmap& into, const TBitmap& from) {
    into.Canvas().StretchBlt(dest.Left - part.Left, dest.Top - part.Top, dest.Width(),
                             dest.Height(), from, 0, 0, from.Width(), from.Height());
  };
  TBitmap under(w, h, target.PixelFormat());
  under.SetPalette(target.Palette());
  under.Canvas().CopyRect(whole, canvas, part);
  TBitmap over(w, h, target.PixelFormat());
  over.SetPalette(target.Palette());
  stretch(over, picture);
  TBitmap holes(picture.Width(), picture.Height(), TPixelFormat::pf8bit);
  for (int y = 0; y < holes.Height(); ++y) {
    uint8_t* row = holes.ScanLine(y);
    for (int x = 0; x < holes.Width(); ++x)
      row[x] = mask->IsSet(x, y) ? 1 : 0;
  }
  TBitmap scaledHoles(w, h, TPixelFormat::pf8bit);
  stretch(scaledHoles, holes);

  const size_t bytes = size_t(target.BitsPerPixel() / 8);
  for (int y = 0; y < h; ++y) {
    const uint8_t* hole = scaledHoles.ScanLine(y);
    const uint8_t* from = over.ScanLine(y);
    uint8_t* to = under.ScanLine(y);
    for (int x = 0; x < w; ++x)
      if (!hole[x]) std::memcpy(to + size_t(x) * bytes, from + size_t(x) * bytes, bytes);
  }
  canvas.CopyRect(part, under.Canvas(), whole);
}

}  // namespace kestrava
