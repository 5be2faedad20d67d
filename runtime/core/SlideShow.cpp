#include "runtime/core/SlideShow.h"

#include "imaging/Jpeg.h"
#include "raster/Canvas.h"
#include "transitions/TransitionPlayer.h"

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
      schedule_(saver.Trailer().IntervalSeconds),
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
  next_ = Decode(1);
  pending_ = std::async(std::launch::async, [this] { return Decode(2); });
}

TSlideShow::~TSlideShow() {
  if (pending_.valid()) pending_.wait();
}

std::shared_ptr<const TBitmap> TSlideShow::Decode(int64_t slide) const {
  const TSaverBlock& block = pictures_[size_t(slide % int64_t(pictures_.size()))];
  return Fitted(DecodeJpeg(saver_.ReadBlock(block)).Bitmap, width_, height_);
}

void TSlideShow::Advance(int64_t slide) {
  while (slide_ < slide) {
    current_ = next_;
    next_ = pending_.get();
    ++slide_;
    pending_ = std::async(std::launch::async, [this, s = slide_ + 2] { return Decode(s); });
    style_ = chooser_.Next();
  }
}

const TBitmap& TSlideShow::FrameAt(int64_t tick) {
  const TSlideMoment moment = schedule_.At(tick, cut_);
  Advance(moment.Slide);
  if (moment.Progress == 0) return *current_;
  MakeTransitionFrame(TTransitionStyle(style_), *current_, *next_, kTransitionStep, moment.Progress,
                      frame_);
  return frame_;
}

}  // namespace kestrava
