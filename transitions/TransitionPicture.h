#pragma once

#include <functional>
#include <optional>

#include "raster/Bitmap.h"

namespace kestrava {

// A picture property: holds a copy of one graphic, or none, and reports every change. An empty
// bitmap counts as no graphic, so that a picture with a graphic always has a size to work with.
class TTransitionPicture {
 public:
  TTransitionPicture() = default;
  TTransitionPicture(const TTransitionPicture&) = delete;
  TTransitionPicture& operator=(const TTransitionPicture&) = delete;

  bool HasGraphic() const { return graphic_.has_value(); }
  // Only while HasGraphic().
  const TBitmap& Graphic() const { return *graphic_; }
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Copies the graphic in; null empties the picture.
  void Assign(const TBitmap* graphic);
  void Assign(TBitmap&& graphic);
  void Clear() { Assign(nullptr); }

  // Called after every change of the graphic.
  std::function<void()> OnChange;

 private:
  void Changed();

  std::optional<TBitmap> graphic_;
};

}  // namespace kestrava
