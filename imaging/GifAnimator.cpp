#include "imaging/GifAnimator.h"

#include "imaging/GifDrawing.h"
#include "imaging/GifPicture.h"

namespace kestrava {

TGifAnimator::TGifAnimator(TGifPicture& image, TBitmap& screen)
    : image_(image),
      screen_(screen),
      before_(screen),
      transparent_(image.DrawOptions().Transparent) {
  TGifFrameList& frames = image_.Images();
  while (count_ < frames.Count() && !frames[count_].Empty())
    ++count_;
  for (int i = 0; i < count_; ++i) {
    const int disposal = frames[i].Disposal();
    if (disposal == 2 || disposal == 3) composing_ = true;
    frames[i].Bitmap();
  }
  if (!transparent_) backgroundColor_ = image_.BackgroundColor();
}

void TGifAnimator::Show(int index) {
  if (shown_ >= 0) Dispose(shown_);
  shown_ = index;
  TGifFrame& frame = image_.Images()[index];
  const int disposal = frame.Disposal();
  if (composing_ && disposal >= 4) return;
  if (disposal == 3) saved_ = screen_;
  DrawGifFrame(screen_.Canvas(), frame.BoundsRect(), frame.Bitmap(),
               transparent_ ? frame.Mask() : nullptr);
}

void TGifAnimator::Dispose(int index) {
  const TGifFrame& frame = image_.Images()[index];
  const TRect area = frame.BoundsRect();
  switch (frame.Disposal()) {
    case 2:
      if (transparent_) {
        screen_.Canvas().CopyRect(area, before_.Canvas(), area);
      } else {
        screen_.Canvas().Brush.Color = backgroundColor_;
        screen_.Canvas().FillRect(area);
      }
      break;
    case 3:
      if (saved_) screen_.Canvas().CopyRect(area, saved_->Canvas(), area);
      break;
    default:
      break;
  }
}

}  // namespace kestrava
