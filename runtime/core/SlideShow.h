#pragma once

// The pictures of a pictures saver, in order and round again: each stored JPEG decoded in the
// background one ahead of the one coming next, fitted to the output size, and the transition
// style that leads to the next one.

#include <cstdint>
#include <future>
#include <memory>
#include <vector>

#include "raster/Bitmap.h"
#include "runtime/core/StoredPictures.h"
#include "runtime/core/StyleChooser.h"
#include "saver/LargestScreen.h"
#include "saver/SaverFileReader.h"

namespace kestrava {

class TSlideShow {
 public:
  // outputWidth/outputHeight 0: the stored pictures' size, shrunk to at most maxSide pixels a
  // side. Throws ESaverFileError when a picture's header is damaged (StoredPictureSize) and
  // EImageError when the first picture does not decode.
  TSlideShow(const TSaverFileReader& saver, int outputWidth, int outputHeight, uint32_t seed,
             int maxSide = kMaxScreenSide);
  ~TSlideShow();
  TSlideShow(const TSlideShow&) = delete;
  TSlideShow& operator=(const TSlideShow&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int IntervalSeconds() const { return saver_.Trailer().IntervalSeconds; }
  // No style flagged: pictures follow each other without a transition.
  bool Cut() const { return cut_; }

  const TBitmap& Current() const { return *current_; }
  // Waits for the next picture's decoding if it is not done yet.
  const TBitmap& Next();
  // The style of the transition from Current to Next.
  int Style() const { return style_; }
  // Next becomes Current. Throws EImageError or ESaverFileError when a stored picture does not
  // decode.
  void Advance();

 private:
  std::shared_ptr<const TBitmap> Decode(int64_t slide) const;
  // Slide's picture, decoding in the background.
  std::future<std::shared_ptr<const TBitmap>> Upcoming(int64_t slide) const;

  const TSaverFileReader& saver_;
  std::vector<TSaverBlock> pictures_;
  TPictureSize stored_;
  int width_ = 0, height_ = 0;
  TStyleChooser chooser_;
  bool cut_ = false;
  int64_t slide_ = 0;  // how many pictures have been passed
  int style_ = 0;
  std::shared_ptr<const TBitmap> current_, next_;
  // next_ until it is needed, and the picture after it.
  std::future<std::shared_ptr<const TBitmap>> nextPending_, pending_;
};

}  // namespace kestrava
