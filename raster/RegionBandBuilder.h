#pragma once

// Rows of spans collected top to bottom in the y-x banded form, for the shapes that are
// scan-converted row by row.

#include <cstdint>
#include <vector>

#include "raster/Rect.h"

namespace kestrava {

// Collects rows of spans top to bottom in the y-x banded form: rows that follow each other with
// the same spans become one band before anything is handed to the region.
class TBandBuilder {
 public:
  // xs holds left, right pairs in increasing order, disjoint and not touching.
  void AddRows(int64_t top, int64_t bottom, const std::vector<int64_t>& xs) {
    if (xs.empty() || bottom <= top) return;
    if (lastBottom_ == top && SameSpans(xs)) {
      for (size_t i = lastBand_; i < boxes_.size(); ++i)
        boxes_[i].Bottom = int(bottom);
    } else {
      lastBand_ = boxes_.size();
      for (size_t i = 0; i + 1 < xs.size(); i += 2)
        boxes_.push_back({int(xs[i]), int(top), int(xs[i + 1]), int(bottom)});
    }
    lastBottom_ = bottom;
  }

  const std::vector<TRect>& Rects() const { return boxes_; }

 private:
  bool SameSpans(const std::vector<int64_t>& xs) const {
    if ((boxes_.size() - lastBand_) * 2 != xs.size()) return false;
    for (size_t i = lastBand_, j = 0; i < boxes_.size(); ++i, j += 2)
      if (boxes_[i].Left != xs[j] || boxes_[i].Right != xs[j + 1]) return false;
    return true;
  }

  std::vector<TRect> boxes_;
  size_t lastBand_ = 0;
  int64_t lastBottom_ = INT64_MIN;
};

}  // namespace kestrava
