#pragma once

// The pictures kind of saver: the stored JPEGs shown one after another with transitions, each
// decoded in the background one ahead of the one on show and fitted to the output size.

#include <cstdint>
#include <future>
#include <memory>

#include "raster/Bitmap.h"
#include "runtime/core/SlideSchedule.h"
#include "runtime/core/StyleChooser.h"
#include "saver/SaverFileReader.h"

namespace kestrava {

class TSlideShow {
 public:
  // outputWidth/outputHeight 0: the first stored picture's size. Throws ESaverFileError or
  // EImageError when the first picture cannot be read.
  TSlideShow(const TSaverFileReader& saver, int outputWidth, int outputHeight, uint32_t seed);
  ~TSlideShow();

  int Width() const { return width_; }
  int Height() const { return height_; }

  // The frame to show at tick n (ticks of 40 ms from the start); ticks only go forward.
  const TBitmap& FrameAt(int64_t tick);

 private:
  std::shared_ptr<const TBitmap> Decode(int64_t slide) const;
  void Advance(int64_t slide);

  const TSaverFileReader& saver_;
  std::vector<TSaverBlock> pictures_;
  int width_ = 0, height_ = 0;
  TSlideSchedule schedule_;
  TStyleChooser chooser_;
  bool cut_ = false;
  int64_t slide_ = 0;  // the slide on show (or leaving, during its transition)
  int style_ = 0;      // the transition to the next slide
  std::shared_ptr<const TBitmap> current_, next_;
  std::future<std::shared_ptr<const TBitmap>> pending_;  // the picture after next_
  TBitmap frame_;
};

}  // namespace kestrava
