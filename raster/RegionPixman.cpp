// Regions on pixman, whose y-x banded form is the one the region interface promises.
#include <pixman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "raster/Region.h"

namespace kestrava {

struct Region::TNative {
  pixman_region32_t region;
};

namespace {

static_assert(sizeof(Region::TNative) <= Region::kNativeSize &&
                  alignof(Region::TNative) <= Region::kNativeAlign,
              "pixman's region fits the room Region keeps for it");

TRect ToRect(const pixman_box32_t& b) {
  return {b.x1, b.y1, b.x2, b.y2};
}

pixman_box32_t ToBox(const TRect& r) {
  return {r.Left, r.Top, r.Right, r.Bottom};
}

}  // namespace

Region::Region() {
  pixman_region32_init(&Native().region);
}

Region::Region(const Region& other) {
  pixman_region32_init(&Native().region);
  pixman_region32_copy(&Native().region, const_cast<pixman_region32_t*>(&other.Native().region));
}

Region::Region(Region&& other) noexcept : Region() {
  std::swap(Native().region, other.Native().region);
}

Region& Region::operator=(const Region& other) {
  if (this != &other)
    pixman_region32_copy(&Native().region, const_cast<pixman_region32_t*>(&other.Native().region));
  return *this;
}

Region& Region::operator=(Region&& other) noexcept {
  std::swap(Native().region, other.Native().region);
  return *this;
}

Region::~Region() {
  pixman_region32_fini(&Native().region);
}

Region Region::FromRect(const TRect& r) {
  Region result;
  const TRect n = r.Normalized();
  if (!n.IsEmpty()) {
    // Given as extents: a width past INT_MAX must not overflow on the way.
    const pixman_box32_t box = ToBox(n);
    pixman_region32_init_with_extents(&result.Native().region, &box);
  }
  return result;
}

void Region::AdoptUnsorted(std::span<const TRect> rects) {
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(rects.size());
  for (const TRect& r : rects)
    boxes.push_back(ToBox(r));
  pixman_region32_fini(&Native().region);
  // pixman sorts the boxes and merges them into bands in one pass over the whole set.
  if (!pixman_region32_init_rects(&Native().region, boxes.data(), int(boxes.size()))) {
    pixman_region32_init(&Native().region);
    throw std::bad_alloc();
  }
}

void Region::AdoptBanded(std::span<const TRect> rects) {
  pixman_region32_fini(&Native().region);
  pixman_region32_init(&Native().region);
  if (rects.empty()) return;
  pixman_box32_t extents = ToBox(rects.front());
  for (const TRect& r : rects) {
    extents.x1 = std::min(extents.x1, r.Left);
    extents.x2 = std::max(extents.x2, r.Right);
  }
  extents.y2 = rects.back().Bottom;
  if (rects.size() == 1) {
    pixman_region32_init_with_extents(&Native().region, &extents);
    return;
  }
  // pixman's own layout: the header, then the boxes; pixman frees it with free().
  auto* data = static_cast<pixman_region32_data_t*>(
      std::malloc(sizeof(pixman_region32_data_t) + rects.size() * sizeof(pixman_box32_t)));
  if (!data) throw std::bad_alloc();
  data->size = long(rects.size());
  data->numRects = long(rects.size());
  auto* boxes = reinterpret_cast<pixman_box32_t*>(data + 1);
  for (size_t i = 0; i < rects.size(); ++i)
    boxes[i] = ToBox(rects[i]);
  Native().region.extents = extents;
  Native().region.data = data;
}

TRegionKind Region::Combine(const Region& a, const Region& b, TCombineMode mode) {
  auto* pa = const_cast<pixman_region32_t*>(&a.Native().region);
  auto* pb = const_cast<pixman_region32_t*>(&b.Native().region);
  pixman_bool_t ok = 1;
  switch (mode) {
    case TCombineMode::Or:
      ok = pixman_region32_union(&Native().region, pa, pb);
      break;
    case TCombineMode::And:
      ok = pixman_region32_intersect(&Native().region, pa, pb);
      break;
    case TCombineMode::Diff:
      ok = pixman_region32_subtract(&Native().region, pa, pb);
      break;
    case TCombineMode::Xor: {
      // pixman has no symmetric difference: (a - b) + (b - a).
      Region aOnly, bOnly;
      ok = pixman_region32_subtract(&aOnly.Native().region, pa, pb) &&
           pixman_region32_subtract(&bOnly.Native().region, pb, pa) &&
           pixman_region32_union(&Native().region, &aOnly.Native().region, &bOnly.Native().region);
      break;
    }
  }
  if (!ok) throw std::bad_alloc();
  return Kind();
}

void Region::Translate(int dx, int dy) {
  pixman_region32_translate(&Native().region, dx, dy);
}

bool Region::IsEmpty() const {
  return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&Native().region));
}

TRegionKind Region::Kind() const {
  int n = 0;
  pixman_region32_rectangles(const_cast<pixman_region32_t*>(&Native().region), &n);
  if (IsEmpty()) return TRegionKind::Null;
  return n == 1 ? TRegionKind::Simple : TRegionKind::Complex;
}

bool Region::Contains(int x, int y) const {
  return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&Native().region), x, y,
                                        nullptr);
}

TRect Region::BoundingBox() const {
  if (IsEmpty()) return {};
  return ToRect(*pixman_region32_extents(const_cast<pixman_region32_t*>(&Native().region)));
}

std::vector<TRect> Region::Rects() const {
  int n = 0;
  const pixman_box32_t* boxes =
      pixman_region32_rectangles(const_cast<pixman_region32_t*>(&Native().region), &n);
  std::vector<TRect> out;
  out.reserve(size_t(n));
  for (int i = 0; i < n; ++i)
    out.push_back(ToRect(boxes[i]));
  return out;
}

bool Region::NativeSelfCheck() const {
  return pixman_region32_selfcheck(const_cast<pixman_region32_t*>(&Native().region));
}

bool operator==(const Region& a, const Region& b) {
  // An emptied region may keep stale extents, which pixman would compare.
  if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() == b.IsEmpty();
  return pixman_region32_equal(const_cast<pixman_region32_t*>(&a.Native().region),
                               const_cast<pixman_region32_t*>(&b.Native().region));
}

}  // namespace kestrava
