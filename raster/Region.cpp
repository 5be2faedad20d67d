#include "raster/Region.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <utility>

namespace kestrava {

namespace {

TRect ToRect(const pixman_box32_t& b) {
  return {b.x1, b.y1, b.x2, b.y2};
}

}  // namespace

Region::Region() {
  pixman_region32_init(&region_);
}

Region::Region(const Region& other) {
  pixman_region32_init(&region_);
  pixman_region32_copy(&region_, const_cast<pixman_region32_t*>(&other.region_));
}

Region::Region(Region&& other) noexcept : Region() {
  std::swap(region_, other.region_);
}

Region& Region::operator=(const Region& other) {
  if (this != &other)
    pixman_region32_copy(&region_, const_cast<pixman_region32_t*>(&other.region_));
  return *this;
}

Region& Region::operator=(Region&& other) noexcept {
  std::swap(region_, other.region_);
  return *this;
}

Region::~Region() {
  pixman_region32_fini(&region_);
}

Region Region::FromRect(const TRect& r) {
  Region result;
  const TRect n = r.Normalized();
  if (!n.IsEmpty()) {
    // Given as extents: a width past INT_MAX must not overflow on the way.
    const pixman_box32_t box{n.Left, n.Top, n.Right, n.Bottom};
    pixman_region32_init_with_extents(&result.region_, &box);
  }
  return result;
}

namespace {

// Rectangles that already come in the banded order (top to bottom; within a band left to right,
// apart from each other) need no sorting: this merges touching pieces and equal bands on the way
// and reports false as soon as the order breaks.
bool CollectBanded(std::span<const pixman_box32_t> in, std::vector<pixman_box32_t>& out) {
  out.clear();
  size_t bandStart = 0, previousBand = 0;
  bool havePrevious = false;
  const auto closeBand = [&] {
    // A band equal to the touching band above it extends that one instead.
    const size_t n = out.size() - bandStart;
    if (havePrevious && out[previousBand].y2 == out[bandStart].y1 &&
        bandStart - previousBand == n &&
        std::equal(out.begin() + ptrdiff_t(bandStart), out.end(),
                   out.begin() + ptrdiff_t(previousBand),
                   [](const pixman_box32_t& a, const pixman_box32_t& b) {
                     return a.x1 == b.x1 && a.x2 == b.x2;
                   })) {
      for (size_t i = previousBand; i < bandStart; ++i)
        out[i].y2 = out[bandStart].y2;
      out.resize(bandStart);
      bandStart = previousBand;
    }
    previousBand = bandStart;
    havePrevious = true;
    bandStart = out.size();
  };
  for (const pixman_box32_t& b : in) {
    if (out.size() > bandStart && b.y1 == out[bandStart].y1) {
      if (b.y2 != out[bandStart].y2 || b.x1 < out.back().x2) return false;
      if (b.x1 == out.back().x2)
        out.back().x2 = b.x2;
      else
        out.push_back(b);
      continue;
    }
    if (out.size() > bandStart) {
      if (b.y1 < out[bandStart].y2) return false;
      closeBand();
    }
    out.push_back(b);
  }
  if (out.size() > bandStart) closeBand();
  return true;
}

}  // namespace

Region Region::FromRects(std::span<const TRect> rects) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(rects.size());
  for (const TRect& r : rects) {
    const TRect n = r.Normalized();
    if (!n.IsEmpty()) boxes.push_back({n.Left, n.Top, n.Right, n.Bottom});
  }
  Region result;
  if (boxes.empty()) return result;
  std::vector<pixman_box32_t> banded;
  banded.reserve(boxes.size());
  if (CollectBanded(boxes, banded)) {
    result.AdoptBanded(banded);
    return result;
  }
  pixman_region32_fini(&result.region_);
  // pixman sorts the boxes and merges them into bands in one pass over the whole set.
  if (!pixman_region32_init_rects(&result.region_, boxes.data(), int(boxes.size())))
    throw std::bad_alloc();
  return result;
}

void Region::AdoptBanded(std::span<const pixman_box32_t> boxes) {
  pixman_region32_fini(&region_);
  pixman_region32_init(&region_);
  if (boxes.empty()) return;
  pixman_box32_t extents = boxes.front();
  for (const pixman_box32_t& b : boxes) {
    extents.x1 = std::min(extents.x1, b.x1);
    extents.x2 = std::max(extents.x2, b.x2);
  }
  extents.y2 = boxes.back().y2;
  if (boxes.size() == 1) {
    pixman_region32_init_with_extents(&region_, &extents);
    return;
  }
  // pixman's own layout: the header, then the boxes; pixman frees it with free().
  auto* data = static_cast<pixman_region32_data_t*>(
      std::malloc(sizeof(pixman_region32_data_t) + boxes.size() * sizeof(pixman_box32_t)));
  if (!data) throw std::bad_alloc();
  data->size = long(boxes.size());
  data->numRects = long(boxes.size());
  std::memcpy(data + 1, boxes.data(), boxes.size() * sizeof(pixman_box32_t));
  region_.extents = extents;
  region_.data = data;
}

TRegionKind Region::Combine(const Region& a, const Region& b, TCombineMode mode) {
  auto* pa = const_cast<pixman_region32_t*>(&a.region_);
  auto* pb = const_cast<pixman_region32_t*>(&b.region_);
  pixman_bool_t ok = 1;
  switch (mode) {
    case TCombineMode::Or:
      ok = pixman_region32_union(&region_, pa, pb);
      break;
    case TCombineMode::And:
      ok = pixman_region32_intersect(&region_, pa, pb);
      break;
    case TCombineMode::Diff:
      ok = pixman_region32_subtract(&region_, pa, pb);
      break;
    case TCombineMode::Xor: {
      // pixman has no symmetric difference: (a - b) + (b - a).
      Region aOnly, bOnly;
      ok = pixman_region32_subtract(&aOnly.region_, pa, pb) &&
           pixman_region32_subtract(&bOnly.region_, pb, pa) &&
           pixman_region32_union(&region_, &aOnly.region_, &bOnly.region_);
      break;
    }
  }
  if (!ok) throw std::bad_alloc();
  return Kind();
}

Region Region::Combined(const Region& a, const Region& b, TCombineMode mode) {
  Region result;
  result.Combine(a, b, mode);
  return result;
}

void Region::Translate(int dx, int dy) {
  pixman_region32_translate(&region_, dx, dy);
}

bool Region::IsEmpty() const {
  return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&region_));
}

TRegionKind Region::Kind() const {
  int n = 0;
  pixman_region32_rectangles(const_cast<pixman_region32_t*>(&region_), &n);
  if (IsEmpty()) return TRegionKind::Null;
  return n == 1 ? TRegionKind::Simple : TRegionKind::Complex;
}

bool Region::Contains(int x, int y) const {
  return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&region_), x, y, nullptr);
}

TRect Region::BoundingBox() const {
  if (IsEmpty()) return {};
  return ToRect(*pixman_region32_extents(const_cast<pixman_region32_t*>(&region_)));
}

std::vector<TRect> Region::Rects() const {
  int n = 0;
  const pixman_box32_t* boxes =
      pixman_region32_rectangles(const_cast<pixman_region32_t*>(&region_), &n);
  std::vector<TRect> out;
  out.reserve(size_t(n));
  for (int i = 0; i < n; ++i)
    out.push_back(ToRect(boxes[i]));
  return out;
}

bool Region::SelfCheck() const {
  if (!pixman_region32_selfcheck(const_cast<pixman_region32_t*>(&region_))) return false;
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

bool operator==(const Region& a, const Region& b) {
  // An emptied region may keep stale extents, which pixman would compare.
  if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() == b.IsEmpty();
  return pixman_region32_equal(const_cast<pixman_region32_t*>(&a.region_),
                               const_cast<pixman_region32_t*>(&b.region_));
}

}  // namespace kestrava
