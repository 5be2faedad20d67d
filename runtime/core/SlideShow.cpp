#include "runtime/core/SlideShow.h"

#include <utility>

#include "raster/Canvas.h"
#include "transitions/TransitionPlayer.h"  // FitRect

namespace kestrava {

namespace {

// The stored picture scaled to fit the output, centred on black: the builder's screen size need
// not be this display's.
std::shared_ptr<const TBitmap> Fitted(TBitmap picture, int width, int height) {
  picture.SetPixelFormat(TPixelFormat::pfDevice);
  if (picture.Width() == width && picture.Height() == height)
    return std::make_shared<const TBitmap>(std::move(picture));
  auto out = std::make_shared<TBitmap>(width, height);
  out->Canvas().Brush.Color = 0;
  out->Canvas().FillRect({0, 0, width, height});
  out->Canvas().StretchDraw(
      FitRect({0, 0, picture.Width(), picture.Height()}, {0, 0, width, height}), picture);
  return out;
}

}  // namespace

TSlideShow::TSlideShow(const TSaverFileReader& saver, int outputWidth, int outputHeight,
                       uint32_t seed, int maxSide)
    : saver_(saver), chooser_(saver.Trailer().EffectFlags, seed) {
  for (const TSaverBlock& block : saver.Blocks())
    if (block.Kind == TBlockKind::Picture) pictures_.push_back(block);
  // Every header is checked before the first pixel is decoded, so that damage anywhere ends the
  // show at its start rather than pictures later.
  stored_ = StoredPictureSize(saver_, pictures_);
  const TPictureSize output = WithinSide(stored_, maxSide);
  width_ = outputWidth > 0 ? outputWidth : output.Width;
  height_ = outputHeight > 0 ? outputHeight : output.Height;
  current_ = Decode(0);
  cut_ = chooser_.Styles().empty();
  style_ = chooser_.Next();
  // The first picture shows at once; the next two are decoded while it is on show.
  nextPending_ = Upcoming(1);
  pending_ = Upcoming(2);
}

TSlideShow::~TSlideShow() {
  if (nextPending_.valid()) nextPending_.wait();
  if (pending_.valid()) pending_.wait();
}

const TBitmap& TSlideShow::Next() {
  if (!next_) next_ = nextPending_.get();
  return *next_;
}

std::shared_ptr<const TBitmap> TSlideShow::Decode(int64_t slide) const {
  const size_t index = size_t(slide % int64_t(pictures_.size()));
  return Fitted(DecodeStoredPicture(saver_.ReadBlock(pictures_[index]), stored_, index + 1), width_,
                height_);
}

std::future<std::shared_ptr<const TBitmap>> TSlideShow::Upcoming(int64_t slide) const {
  // The picture on show is not decoded again (a saver of one or two pictures): a large picture
  // is held once.
  const int64_t n = int64_t(pictures_.size());
  if (slide % n == slide_ % n) {
    std::promise<std::shared_ptr<const TBitmap>> same;
    same.set_value(current_);
    return same.get_future();
  }
  return std::async(std::launch::async, [this, slide] { return Decode(slide); });
}

void TSlideShow::Advance() {
  Next();
  current_ = std::exchange(next_, nullptr);
  nextPending_ = std::move(pending_);
  ++slide_;
  pending_ = Upcoming(slide_ + 2);
  style_ = chooser_.Next();
}

}  // namespace kestrava
