#pragma once

// A picture resampled smoothly to another size, one row at a time: shrinking averages the source
// pixels each target pixel covers (an area filter), enlarging interpolates linearly between the
// nearest two. Neither the source nor the target is held whole: only the few source rows that the
// current target row needs, filtered along the row already.

#include <cstdint>
#include <deque>
#include <vector>

#include "saver/PrepareRows.h"

namespace kestrava {

// The source pixels one target pixel takes along one axis, and how much of each.
struct TFilterTap {
  int First = 0;               // the first source pixel
  std::vector<float> Weights;  // for First, First + 1, ...; they add up to 1
};
// Taps for target pixels [firstTarget, firstTarget + count) of an axis scaled from sourceLength to
// targetLength pixels.
std::vector<TFilterTap> FilterTaps(int sourceLength, int targetLength, int firstTarget, int count);

class TSmoothRows {
 public:
  // The source scaled to targetWidth x targetHeight, of which only the columns
  // [firstColumn, firstColumn + columnCount) are made. Every source row is read, in order.
  TSmoothRows(TRowSource& source, int targetWidth, int targetHeight, int firstColumn,
              int columnCount);
  // Target row y as 24-bit blue, green, red, columnCount pixels; valid until the next call. Rows
  // are asked for in increasing order, any of them skipped.
  const uint8_t* Row(int y);

 private:
  // The source row filtered along the row: columnCount * 3 values.
  void ReadFilteredRow();

  TRowSource& source_;
  int targetHeight_;
  int columnCount_;
  // The column taps laid out flat for the inner loop: each column's first source byte and the
  // same number of weights for every column, zeros filling the shorter ones.
  std::vector<int> columnFirst_;
  std::vector<float> columnWeights_;
  int columnTapCount_ = 0;
  int rowsRead_ = 0;
  // Filtered source rows from firstKept_ on, as long as a later target row may need them.
  std::deque<std::vector<float>> kept_;
  int firstKept_ = 0;
  std::vector<float> spare_;  // a dropped row's room, for the next row read
  std::vector<uint8_t> out_;
  std::vector<float> sum_;
};

}  // namespace kestrava
