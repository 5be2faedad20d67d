// What every region backend shares: taking rectangles that already come banded, the band checks
// and the canonical text.
#include "raster/Region.h"
#include "raster/RegionLimits.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace kestrava {

// Rectangles that already come in the banded order (top to bottom; within a band left to right,
// apart from each other) need no sorting: this merges touching pieces and equal bands on the way.
bool CollectBanded(std::span<const TRect> in, std::vector<TRect>& out) {
  out.clear();
  size_t bandStart = 0, previousBand = 0;
  bool havePrevious = false;
  const auto closeBand = [&] {
    // A band equal to the touching band above it extends that one instead.
    const size_t n = out.size() - bandStart;
    if (havePrevious && out[previousBand].Bottom == out[bandStart].Top &&
        bandStart - previousBand == n &&
        std::equal(out.begin() + ptrdiff_t(bandStart), out.end(),
                   out.begin() + ptrdiff_t(previousBand), [](const TRect& a, const TRect& b) {
                     return a.Left == b.Left && a.Right == b.Right;
                   })) {
      for (size_t i = previousBand; i < bandStart; ++i)
        out[i].Bottom = out[bandStart].Bottom;
      out.resize(bandStart);
      bandStart = previousBand;
    }
    previousBand = bandStart;
    havePrevious = true;
    bandStart = out.size();
  };
  for (const TRect& b : in) {
    if (out.size() > bandStart && b.Top == out[bandStart].Top) {
      if (b.Bottom != out[bandStart].Bottom || b.Left < out.back().Right) return false;
      if (b.Left == out.back().Right)
        out.back().Right = b.Right;
      else
        out.push_back(b);
      continue;
    }
    if (out.size() > bandStart) {
      if (b.Top < out[bandStart].Bottom) return false;
      closeBand();
    }
    out.push_back(b);
  }
  if (out.size() > bandStart) closeBand();
  return true;
}

Region Region::FromRects(std::span<const TRect> rects) {
  std::vector<TRect> boxes;
  boxes.reserve(rects.size());
  for (const TRect& r : rects) {
    const TRect n = r.Normalized();
    if (!n.IsEmpty()) boxes.push_back(n);
  }
  Region result;
  if (boxes.empty()) return result;
  std::vector<TRect> banded;
  banded.reserve(boxes.size());
  if (CollectBanded(boxes, banded))
    result.AdoptBanded(banded);
  else
    result.AdoptUnsorted(boxes);
  return result;
}

Region Region::Combined(const Region& a, const Region& b, TCombineMode mode) {
  Region result;
  result.Combine(a, b, mode);
  return result;
}

bool Region::SelfCheck() const {
  if (!NativeSelfCheck()) return false;
  const std::vector<TRect> rects = Rects();
  if (rects.empty()) return BoundingBox() == TRect{};
  TRect extents{rects[0].Left, rects[0].Top, rects[0].Right, rects[0].Bottom};
  // Band by band: equal tops and bottoms within a band, spans left to right with gaps between
  // them, bands strictly below each other, and no band a copy of the touching band above it.
  size_t prevStart = 0, prevEnd = 0;
  for (size_t start = 0; start < rects.size();) {
    size_t end = start;
    while (end < rects.size() && rects[end].Top == rects[start].Top)
      ++end;
    for (size_t i = start; i < end; ++i) {
      const TRect& r = rects[i];
      if (r.IsEmpty() || r.Bottom != rects[start].Bottom) return false;
      if (i > start && r.Left <= rects[i - 1].Right) return false;
      extents.Left = std::min(extents.Left, r.Left);
      extents.Right = std::max(extents.Right, r.Right);
    }
    extents.Bottom = rects[start].Bottom;
    if (start > 0) {
      if (rects[start].Top < rects[prevStart].Bottom) return false;
      if (rects[start].Top == rects[prevStart].Bottom && end - start == prevEnd - prevStart &&
          std::equal(rects.begin() + ptrdiff_t(start), rects.begin() + ptrdiff_t(end),
                     rects.begin() + ptrdiff_t(prevStart), [](const TRect& a, const TRect& b) {
                       return a.Left == b.Left && a.Right == b.Right;
                     }))
        return false;
    }
    prevStart = start;
    prevEnd = end;
    start = end;
  }
  return extents == BoundingBox();
}

std::string Region::Canonical() const {
  // Rows grouped into runs that share identical spans, whatever the rectangle split.
  struct Band {
    int top, bottom;
    std::vector<int> xs;
  };
  std::vector<Band> bands;
  const std::vector<TRect> rects = Rects();
  for (size_t i = 0; i < rects.size();) {
    Band band{rects[i].Top, rects[i].Bottom, {}};
    for (; i < rects.size() && rects[i].Top == band.top; ++i) {
      if (!band.xs.empty() && band.xs.back() == rects[i].Left)
        band.xs.back() = rects[i].Right;
      else
        band.xs.insert(band.xs.end(), {rects[i].Left, rects[i].Right});
    }
    if (!bands.empty() && bands.back().bottom == band.top && bands.back().xs == band.xs)
      bands.back().bottom = band.bottom;
    else
      bands.push_back(std::move(band));
  }
  std::ostringstream out;
  for (const Band& b : bands) {
    out << "  " << b.top << ' ' << b.bottom << " :";
    for (int x : b.xs)
      out << ' ' << x;
    out << '\n';
  }
  out << "end bands=" << bands.size() << '\n';
  return out.str();
}

}  // namespace kestrava
