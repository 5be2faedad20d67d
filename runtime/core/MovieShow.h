#pragma once

// The Flash kind of saver, until movies are played: a card per stored movie with its frame size
// and frame count, each shown for the interval, round and round.

#include <cstdint>
#include <vector>

#include "raster/Bitmap.h"
#include "runtime/core/SlideSchedule.h"
#include "saver/SaverFileReader.h"

namespace kestrava {

class TMovieShow {
 public:
  TMovieShow(const TSaverFileReader& saver, int width, int height);

  const TBitmap& FrameAt(int64_t tick);

 private:
  const TSaverFileReader& saver_;
  std::vector<TSaverBlock> movies_;
  int width_, height_;
  TSlideSchedule schedule_;
  int64_t shown_ = -1;
  TBitmap card_;
};

}  // namespace kestrava
