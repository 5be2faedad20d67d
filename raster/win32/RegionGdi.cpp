// Regions on Windows are GDI's own: the platform whose region answers the effects were made
// with. GDI keeps them y-x banded like the interface promises, and its CombineRgn reports the
// kind of the result itself. Round rectangles come from our own scan conversion
// (RegionRoundRect.cpp), which gives GDI's answers: some GDI implementations leave a stray first
// and last row for an ellipse much higher than wide.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include "raster/Region.h"
#include "raster/RegionLimits.h"

namespace kestrava {

struct Region::TNative {
  HRGN handle;
};

namespace {

static_assert(sizeof(Region::TNative) <= Region::kNativeSize &&
                  alignof(Region::TNative) <= Region::kNativeAlign,
              "a region handle fits the room Region keeps for it");

HRGN EmptyRegion() {
  const HRGN handle = ::CreateRectRgn(0, 0, 0, 0);
  if (!handle) throw std::bad_alloc();
  return handle;
}

// A new region that owns the handle, or bad_alloc when GDI had none to give.
HRGN Checked(HRGN handle) {
  if (!handle) throw std::bad_alloc();
  return handle;
}

// Takes over a handle of GDI's, deleting the one held.
void Replace(Region::TNative& native, HRGN handle) {
  if (native.handle) ::DeleteObject(native.handle);
  native.handle = handle;
}

int CombineMode(TCombineMode mode) {
  switch (mode) {
    case TCombineMode::Or:
      return RGN_OR;
    case TCombineMode::And:
      return RGN_AND;
    case TCombineMode::Xor:
      return RGN_XOR;
    case TCombineMode::Diff:
      return RGN_DIFF;
  }
  return RGN_COPY;
}

TRect ToRect(const RECT& r) {
  return {int(r.left), int(r.top), int(r.right), int(r.bottom)};
}

// GDI's region data: a header, then the rectangles.
HRGN FromFewRects(std::span<const TRect> rects) {
  std::vector<uint8_t> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = DWORD(rects.size());
  data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
  RECT bounds{0, 0, 0, 0};
  auto* out = reinterpret_cast<RECT*>(data->Buffer);
  for (size_t i = 0; i < rects.size(); ++i) {
    out[i] = RECT{rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom};
    if (i == 0) {
      bounds = out[i];
    } else {
      bounds.left = std::min(bounds.left, out[i].left);
      bounds.top = std::min(bounds.top, out[i].top);
      bounds.right = std::max(bounds.right, out[i].right);
      bounds.bottom = std::max(bounds.bottom, out[i].bottom);
    }
  }
  data->rdh.rcBound = bounds;
  return Checked(::ExtCreateRegion(nullptr, DWORD(buffer.size()), data));
}

// Some GDI implementations add the rectangles of ExtCreateRegion one at a time, in time that
// grows with the square of their number (a second for the ten thousand of a shredding effect's
// frame). Halves are made apart and united instead, each union in time linear in its parts.
constexpr size_t kFewRects = 32;

HRGN FromRectList(std::span<const TRect> rects) {
  if (rects.size() <= kFewRects) return FromFewRects(rects);
  const size_t half = rects.size() / 2;
  const HRGN first = FromRectList(rects.first(half));
  HRGN second = nullptr;
  try {
    second = FromRectList(rects.subspan(half));
  } catch (...) {
    ::DeleteObject(first);
    throw;
  }
  const int kind = ::CombineRgn(first, first, second, RGN_OR);
  ::DeleteObject(second);
  if (kind == ERROR) {
    ::DeleteObject(first);
    throw std::bad_alloc();
  }
  return first;
}

}  // namespace

// A moved-from region holds no handle and reads as empty; assigning to it gives it one again.
Region::Region() {
  Native().handle = EmptyRegion();
}

Region::Region(const Region& other) {
  Native().handle = EmptyRegion();
  *this = other;
}

Region::Region(Region&& other) noexcept {
  Native().handle = other.Native().handle;
  other.Native().handle = nullptr;
}

Region& Region::operator=(const Region& other) {
  if (this == &other) return *this;
  if (!Native().handle) Native().handle = EmptyRegion();
  if (other.Native().handle)
    ::CombineRgn(Native().handle, other.Native().handle, nullptr, RGN_COPY);
  else
    ::SetRectRgn(Native().handle, 0, 0, 0, 0);
  return *this;
}

Region& Region::operator=(Region&& other) noexcept {
  std::swap(Native().handle, other.Native().handle);
  return *this;
}

Region::~Region() {
  if (Native().handle) ::DeleteObject(Native().handle);
}

Region Region::FromRect(const TRect& r) {
  Region result;
  const TRect n = r.Normalized();
  if (!n.IsEmpty()) ::SetRectRgn(result.Native().handle, n.Left, n.Top, n.Right, n.Bottom);
  return result;
}

Region Region::FromPolygon(std::span<const TPoint> points, TPolyFillMode mode) {
  Region result;
  if (points.size() < 3) return result;
  std::vector<POINT> corners;
  corners.reserve(points.size());
  int64_t crossings = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const TPoint& p = points[i];
    crossings += std::abs(int64_t{points[(i + 1) % points.size()].Y} - p.Y);
    if (crossings > kMaxCrossings) throw std::length_error("polygon too large");
    corners.push_back(POINT{p.X, p.Y});
  }
  Replace(result.Native(),
          Checked(::CreatePolygonRgn(corners.data(), int(corners.size()),
                                     mode == TPolyFillMode::Winding ? WINDING : ALTERNATE)));
  return result;
}

void Region::AdoptBanded(std::span<const TRect> rects) {
  AdoptUnsorted(rects);
}

void Region::AdoptUnsorted(std::span<const TRect> rects) {
  Replace(Native(), FromRectList(rects));
}

TRegionKind Region::Combine(const Region& a, const Region& b, TCombineMode mode) {
  if (!Native().handle) Native().handle = EmptyRegion();
  // A moved-from operand stands for the empty region.
  std::optional<Region> empty;
  if (!a.Native().handle || !b.Native().handle) empty.emplace();
  const HRGN ha = a.Native().handle ? a.Native().handle : empty->Native().handle;
  const HRGN hb = b.Native().handle ? b.Native().handle : empty->Native().handle;
  const int kind = ::CombineRgn(Native().handle, ha, hb, CombineMode(mode));
  if (kind == ERROR) throw std::bad_alloc();
  return TRegionKind(kind);
}

void Region::Translate(int dx, int dy) {
  if (Native().handle) ::OffsetRgn(Native().handle, dx, dy);
}

bool Region::IsEmpty() const {
  return Kind() == TRegionKind::Null;
}

TRegionKind Region::Kind() const {
  if (!Native().handle) return TRegionKind::Null;
  RECT box;
  const int kind = ::GetRgnBox(Native().handle, &box);
  return kind == ERROR ? TRegionKind::Error : TRegionKind(kind);
}

bool Region::Contains(int x, int y) const {
  return Native().handle && ::PtInRegion(Native().handle, x, y);
}

TRect Region::BoundingBox() const {
  RECT box{0, 0, 0, 0};
  if (!Native().handle) return {};
  const int kind = ::GetRgnBox(Native().handle, &box);
  if (kind != SIMPLEREGION && kind != COMPLEXREGION) return {};
  return ToRect(box);
}

std::vector<TRect> Region::Rects() const {
  std::vector<TRect> out, banded;
  if (!Native().handle) return out;
  const DWORD size = ::GetRegionData(Native().handle, 0, nullptr);
  if (size < sizeof(RGNDATAHEADER)) return out;
  std::vector<uint8_t> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (::GetRegionData(Native().handle, size, data) != size) throw std::bad_alloc();
  const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  const DWORD count =
      std::min<DWORD>(data->rdh.nCount, DWORD((size - sizeof(RGNDATAHEADER)) / sizeof(RECT)));
  out.reserve(count);
  for (DWORD i = 0; i < count; ++i)
    out.push_back(ToRect(rects[i]));
  // GDI leaves some equal bands apart (a round rectangle's straight middle, a shape made of
  // rectangles); they are joined here, so that one pixel set has one description everywhere.
  if (!CollectBanded(out, banded)) throw std::logic_error("GDI region out of band order");
  return banded;
}

bool Region::NativeSelfCheck() const {
  return !Native().handle || ::GetObjectType(Native().handle) == OBJ_REGION;
}

bool operator==(const Region& a, const Region& b) {
  if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() == b.IsEmpty();
  // GDI compares its rectangle lists, which need not be joined alike.
  return a.Rects() == b.Rects();
}

}  // namespace kestrava
