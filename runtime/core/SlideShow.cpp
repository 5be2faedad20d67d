#include "runtime/core/SlideShow.h"

#include <utility>

#include "imaging/Jpeg.h"
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
                       uint32_t seed)
    : saver_(saver),
      chooser_(saver.Trailer().EffectFlags, seed) {
  for (const TSaverBlock& block : saver.Blocks())
    if (block.Kind == TBlockKind::Picture) pictures_.push_back(block);
  if (pictures_.empty()) throw ESaverFileError("not a saver file: no pictures");
  TJpegImage first = DecodeJpeg(saver_.ReadBlock(pictures_[0]));
  width_ = outputWidth > 0 ? outputWidth : first.Bitmap.Width();
  height_ = outputHeight > 0 ? outputHeight : first.Bitmap.Height();
  current_ = Fitted(std::move(first.Bitmap), width_, height_);
  cut_ = chooser_.Styles().empty();
  style_ = chooser_.Next();
  // The first picture shows at once; the next two are decoded while it is on show.
  nextPending_ = std::async(std::launch::async, [this] { return Decode(1); });
  pending_ = std::async(std::launch::async, [this] { return Decode(2); });
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
  const TSaverBlock& block = pictures_[size_t(slide % int64_t(pictures_.size()))];
  return Fitted(DecodeJpeg(saver_.ReadBlock(block)).Bitmap, width_, height_);
}

void TSlideShow::Advance() {
  Next();
  current_ = std::exchange(next_, nullptr);
  nextPending_ = std::move(pending_);
  ++slide_;
  pending_ = std::async(std::launch::async, [this, s = slide_ + 2] { return Decode(s); });
  style_ = chooser_.Next();
}

}  // namespace kestrava
