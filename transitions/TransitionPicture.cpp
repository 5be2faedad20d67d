#include "transitions/TransitionPicture.h"

#include <utility>

namespace kestrava {

void TTransitionPicture::Assign(const TBitmap* graphic) {
  if (graphic && !graphic->Empty())
    graphic_.emplace(TBitmap(*graphic));  // copied first: the source may be our own graphic
  else
    graphic_.reset();
  Changed();
}

void TTransitionPicture::Assign(TBitmap&& graphic) {
  if (!graphic.Empty())
    graphic_.emplace(std::move(graphic));
  else
    graphic_.reset();
  Changed();
}

void TTransitionPicture::Changed() {
  if (OnChange) OnChange();
}

}  // namespace kestrava
