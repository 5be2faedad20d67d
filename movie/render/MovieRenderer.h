#pragma once

// Draws the frames of a movie with cairo into our 32-bit bitmaps.

#include <memory>

#include "movie/DisplayList.h"
#include "movie/SwfMovie.h"
#include "raster/Bitmap.h"

namespace kestrava {

namespace render {
class TFrameRenderer;
}

class TMovieRenderer {
 public:
  explicit TMovieRenderer(std::shared_ptr<const TSwfMovie> movie);
  ~TMovieRenderer();
  TMovieRenderer(const TMovieRenderer&) = delete;
  TMovieRenderer& operator=(const TMovieRenderer&) = delete;

  // Draws the frame into target (its size is the output size, 32-bit device pixels): the movie's
  // frame rectangle scaled to fit and centred, the movie's background colour around it and under
  // everything. Parsed shapes, bitmaps and glyphs are cached per character; a character that
  // cannot be read draws nothing.
  void Render(const TDisplayFrame& frame, TBitmap& target);

  // Anti-aliased edges (the default), or hard edges as the reference player draws at low
  // quality: cheaper, and what some reference pictures were made with.
  void SetAntialias(bool on);

 private:
  class TMovieSource;
  std::shared_ptr<const TSwfMovie> movie_;
  std::unique_ptr<TMovieSource> source_;
  std::unique_ptr<render::TFrameRenderer> renderer_;
};

}  // namespace kestrava
