#include "movie/render/FrameRenderer.h"

#include <algorithm>
#include <cmath>

#include "movie/render/CairoHandles.h"
#include "movie/render/DisplayPainter.h"

namespace kestrava::render {

void TFrameRenderer::Render(const TDisplayFrame& frame, const TSwfRect& frameRect,
                            TBitmap& target) {
  if (target.Empty()) return;
  if (target.BitsPerPixel() == 32) {
    Render32(frame, frameRect, target);
    return;
  }
  const TPixelFormat format = target.PixelFormat();
  TBitmap wide(target.Width(), target.Height(), TPixelFormat::pfDevice);
  Render32(frame, frameRect, wide);
  wide.SetPixelFormat(format);
  target = std::move(wide);
}

void TFrameRenderer::Render32(const TDisplayFrame& frame, const TSwfRect& frameRect,
                              TBitmap& target) {
  // Our 32-bit rows are blue, green, red and a spare byte: cairo's RGB24 on this machine.
  TCairoSurface surface(cairo_image_surface_create_for_data(target.ScanLine(0), CAIRO_FORMAT_RGB24,
                                                            target.Width(), target.Height(),
                                                            int(target.Stride())));
  TCairo cr(cairo_create(surface.get()));
  cairo_set_antialias(cr.get(), antialias_ ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  const TSwfRgba& bg = frame.Background;
  cairo_set_source_rgb(cr.get(), bg.R / 255.0, bg.G / 255.0, bg.B / 255.0);
  cairo_paint(cr.get());

  const double frameWidth = double(frameRect.XMax) - frameRect.XMin;
  const double frameHeight = double(frameRect.YMax) - frameRect.YMin;
  if (frameWidth > 0 && frameHeight > 0) {
    const double scale = std::min(target.Width() / frameWidth, target.Height() / frameHeight);
    const double left = (target.Width() - frameWidth * scale) / 2;
    const double top = (target.Height() - frameHeight * scale) / 2;
    // Whole pixels: cairo clips to a pixel-aligned rectangle without a mask of its own.
    const double clipLeft = std::round(left), clipTop = std::round(top);
    cairo_rectangle(cr.get(), clipLeft, clipTop, std::round(left + frameWidth * scale) - clipLeft,
                    std::round(top + frameHeight * scale) - clipTop);
    cairo_clip(cr.get());

    TPaintState state;
    cairo_matrix_init(&state.Matrix, scale, 0, 0, scale, left - frameRect.XMin * scale,
                      top - frameRect.YMin * scale);
    TDisplayPainter painter({cr.get(), &library_, scale});
    painter.PaintList(frame.Items, state);
  }
  cr.reset();
  cairo_surface_flush(surface.get());
  // Our drawing leaves the spare byte 0; cairo may have written it.
  for (int y = 0; y < target.Height(); ++y) {
    uint8_t* row = target.ScanLine(y);
    for (int x = 0; x < target.Width(); ++x)
      row[4 * x + 3] = 0;
  }
}

}  // namespace kestrava::render
