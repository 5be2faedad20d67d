#pragma once

#include <optional>

#include "raster/Bitmap.h"
#include "raster/Color.h"

namespace kestrava {

class TGifPicture;

// Composes the frames of a picture, one after the other, on a bitmap of the logical screen that
// already holds what they are drawn over. Disposal methods: 0 and 1 leave a frame in place; 2
// gives its area back to what the screen held before the animation (with transparent drawing)
// or to the background colour; 3 puts back what lay under it. The disposal of a frame takes
// effect when the next frame is shown. While some frame uses method 2 or 3, a frame with method
// 4 to 7 is not drawn at all.
// Used on the picture's thread only; the frames' bitmaps are made when it is made.
class TGifAnimator {
 public:
  TGifAnimator(TGifPicture& image, TBitmap& screen);

  // The frames that play: up to the first empty one.
  int FrameCount() const { return count_; }
  void Show(int index);

 private:
  void Dispose(int index);

  TGifPicture& image_;
  TBitmap& screen_;
  TBitmap before_;                // the screen before the first frame
  std::optional<TBitmap> saved_;  // the screen before a frame with method 3
  TColor backgroundColor_ = clWhite;
  bool transparent_;
  bool composing_ = false;
  int count_ = 0;
  int shown_ = -1;
};

}  // namespace kestrava
