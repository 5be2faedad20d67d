#include "runtime/core/MovieShow.h"

#include <algorithm>

#include "runtime/core/MovieCard.h"

namespace kestrava {

TMovieShow::TMovieShow(const TSaverFileReader& saver, int width, int height)
    : saver_(saver), width_(width), height_(height), schedule_(saver.Trailer().IntervalSeconds) {
  for (const TSaverBlock& block : saver.Blocks())
    if (block.Kind == TBlockKind::Movie) movies_.push_back(block);
  if (movies_.empty()) throw ESaverFileError("not a saver file: no movies");
}

const TBitmap& TMovieShow::FrameAt(int64_t tick) {
  // A card changes with no transition; the header is all that is read of a movie.
  const int64_t slide = schedule_.At(tick, true).Slide;
  if (slide != shown_) {
    const size_t index = size_t(slide % int64_t(movies_.size()));
    TSaverBlock head = movies_[index];
    head.Size = std::min<int64_t>(head.Size, 4096);
    card_ =
        DrawTextCard(MovieCardText(index, movies_.size(), saver_.ReadBlock(head)), width_, height_);
    shown_ = slide;
  }
  return card_;
}

}  // namespace kestrava
