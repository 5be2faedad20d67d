#include "saver/SmoothRows.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kestrava {

namespace {

// Enlarging: the two source pixels nearest the target pixel's centre, weighted by distance.
TFilterTap LinearTap(int sourceLength, double scale, int target) {
  const double centre = (target + 0.5) / scale - 0.5;
  const int left = std::clamp(int(std::floor(centre)), 0, sourceLength - 1);
  const int right = std::min(left + 1, sourceLength - 1);
  const float toRight = float(std::clamp(centre - left, 0.0, 1.0));
  if (right == left) return {left, {1.0f}};
  return {left, {1.0f - toRight, toRight}};
}

// Shrinking: the source pixels under the target pixel, each weighted by how much of it is covered.
TFilterTap AreaTap(int sourceLength, double scale, int target) {
  const double from = target / scale, to = std::min((target + 1) / scale, double(sourceLength));
  const int first = int(std::floor(from));
  const int last = std::min(int(std::ceil(to)) - 1, sourceLength - 1);
  TFilterTap tap{first, {}};
  for (int i = first; i <= last; ++i)
    tap.Weights.push_back(float(std::min(to, i + 1.0) - std::max(from, double(i))));
  float sum = 0;
  for (const float w : tap.Weights)
    sum += w;
  for (float& w : tap.Weights)
    w /= sum;
  return tap;
}

}  // namespace

std::vector<TFilterTap> FilterTaps(int sourceLength, int targetLength, int firstTarget, int count) {
  if (sourceLength <= 0 || targetLength <= 0) throw std::invalid_argument("empty axis");
  const double scale = double(targetLength) / sourceLength;
  std::vector<TFilterTap> taps;
  taps.reserve(size_t(std::max(count, 0)));
  for (int i = firstTarget; i < firstTarget + count; ++i)
    taps.push_back(scale >= 1 ? LinearTap(sourceLength, scale, i)
                              : AreaTap(sourceLength, scale, i));
  return taps;
}

TSmoothRows::TSmoothRows(TRowSource& source, int targetWidth, int targetHeight, int firstColumn,
                         int columnCount)
    : source_(source),
      targetHeight_(targetHeight),
      columnCount_(columnCount),
      out_(size_t(columnCount) * 3),
      sum_(size_t(columnCount) * 3) {
  if (source.Height() <= 0 || targetHeight <= 0) throw std::invalid_argument("empty picture");
  const std::vector<TFilterTap> taps =
      FilterTaps(source.Width(), targetWidth, firstColumn, columnCount);
  for (const TFilterTap& tap : taps)
    columnTapCount_ = std::max(columnTapCount_, int(tap.Weights.size()));
  columnFirst_.resize(taps.size());
  columnWeights_.assign(taps.size() * size_t(columnTapCount_), 0.0f);
  for (size_t x = 0; x < taps.size(); ++x) {
    // Padded taps read pixels past the last one with weight 0: start early enough not to.
    const int first = std::min(taps[x].First, std::max(source.Width() - columnTapCount_, 0));
    columnFirst_[x] = first * 3;
    for (size_t k = 0; k < taps[x].Weights.size(); ++k)
      columnWeights_[x * size_t(columnTapCount_) + size_t(taps[x].First - first) + k] =
          taps[x].Weights[k];
  }
}

namespace {

// One source row filtered along the row, taps taps per column; a fixed count lets the compiler
// unroll the inner loop, which matters since it runs for every pixel of every source row.
template <int Taps>
void FilterRow(const uint8_t* row, const int* first, const float* weights, int columns, int taps,
               float* out) {
  const int n = Taps > 0 ? Taps : taps;
  for (int x = 0; x < columns; ++x, weights += n, out += 3) {
    const uint8_t* pixel = row + first[x];
    float b = 0, g = 0, r = 0;
    for (int k = 0; k < n; ++k, pixel += 3) {
      b += weights[k] * pixel[0];
      g += weights[k] * pixel[1];
      r += weights[k] * pixel[2];
    }
    out[0] = b;
    out[1] = g;
    out[2] = r;
  }
}

}  // namespace

void TSmoothRows::ReadFilteredRow() {
  const uint8_t* row = source_.NextRow();
  ++rowsRead_;
  std::vector<float> filtered = std::move(spare_);
  filtered.resize(size_t(columnCount_) * 3);
  const int* first = columnFirst_.data();
  const float* weights = columnWeights_.data();
  switch (columnTapCount_) {
    case 1:
      FilterRow<1>(row, first, weights, columnCount_, 1, filtered.data());
      break;
    case 2:
      FilterRow<2>(row, first, weights, columnCount_, 2, filtered.data());
      break;
    case 3:
      FilterRow<3>(row, first, weights, columnCount_, 3, filtered.data());
      break;
    default:
      FilterRow<0>(row, first, weights, columnCount_, columnTapCount_, filtered.data());
      break;
  }
  kept_.push_back(std::move(filtered));
}

const uint8_t* TSmoothRows::Row(int y) {
  if (y < 0 || y >= targetHeight_) throw std::out_of_range("no such target row");
  const TFilterTap tap = FilterTaps(source_.Height(), targetHeight_, y, 1).front();
  const int last = tap.First + int(tap.Weights.size()) - 1;
  // Rows no later target row needs go; rows before the first needed are passed over unfiltered.
  while (firstKept_ < tap.First && !kept_.empty()) {
    spare_ = std::move(kept_.front());
    kept_.pop_front();
    ++firstKept_;
  }
  if (kept_.empty()) {
    for (; rowsRead_ < tap.First; ++rowsRead_)
      source_.SkipRow();
    firstKept_ = rowsRead_;
  }
  while (rowsRead_ <= last)
    ReadFilteredRow();
  std::fill(sum_.begin(), sum_.end(), 0.0f);
  for (size_t k = 0; k < tap.Weights.size(); ++k) {
    const float w = tap.Weights[k];
    const std::vector<float>& row = kept_[size_t(tap.First - firstKept_) + k];
    for (size_t i = 0; i < sum_.size(); ++i)
      sum_[i] += w * row[i];
  }
  // Rounded by adding a half before the cast cuts off the fraction: a library call per byte
  // would cost as much as the filtering.
  for (size_t i = 0; i < out_.size(); ++i)
    out_[i] = uint8_t(std::clamp(sum_[i], 0.0f, 255.0f) + 0.5f);
  return out_.data();
}

}  // namespace kestrava
