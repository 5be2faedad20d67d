#pragma once

// Draws display frames of one movie, whatever its characters come from.

#include "movie/DisplayList.h"
#include "movie/SwfGeometry.h"
#include "movie/render/CharacterLibrary.h"
#include "raster/Bitmap.h"

namespace kestrava::render {

class TFrameRenderer {
 public:
  // The source must outlive the renderer.
  explicit TFrameRenderer(const ICharacterSource& source) : library_(source) {}

  // The frame rectangle (twips) scaled to fit the target, centred; the frame's background
  // colour everywhere first. Nothing is drawn outside the frame rectangle. A target that is not
  // 32 bits per pixel is drawn at 32 bits and converted back.
  void Render(const TDisplayFrame& frame, const TSwfRect& frameRect, TBitmap& target);

  // Edges are anti-aliased unless switched off (the reference player's low quality).
  void SetAntialias(bool on) { antialias_ = on; }

 private:
  void Render32(const TDisplayFrame& frame, const TSwfRect& frameRect, TBitmap& target);

  TCharacterLibrary library_;
  bool antialias_ = true;
};

}  // namespace kestrava::render
