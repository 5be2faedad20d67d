#include "raster/Canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "raster/Bitmap.h"
#include "raster/PixelAccess.h"
#include "raster/StretchMap.h"

namespace kestrava {

namespace {

// The rectangles to draw into: the area clipped to the selected clip region, if any.
std::vector<TRect> ClippedRects(const TRect& area, const Region* clip) {
  if (area.IsEmpty()) return {};
  if (!clip) return {area};
  std::vector<TRect> out;
  for (const TRect& r : clip->Rects()) {
    if (r.Top >= area.Bottom) break;
    const TRect part = Intersect(r, area);
    if (!part.IsEmpty()) out.push_back(part);
  }
  return out;
}

template <typename T>
void GatherRow(T* out, const T* in, const int* columns, int count) {
  for (int x = 0; x < count; ++x)
    out[x] = in[columns[x]];
}

// A 1:1 mirrored row of 32-bit pixels needs no table: four pixels at a time, reversed in a
// register.
void ReverseRow(uint32_t* out, const uint32_t* in, int last, int count) {
  const uint32_t* from = in + last;
  int x = 0;
#if defined(__SSE2__)
  for (; x + 4 <= count; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from - x - 3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_shuffle_epi32(v, 0x1B));
  }
#endif
  for (; x < count; ++x)
    out[x] = from[-x];
}

// How the destination columns of a copy take their source columns.
enum class TColumnOrder { Mapped, Forward, Backward };

void GatherRow24(uint8_t* out, const uint8_t* in, const int* columns, int count) {
  for (int x = 0; x < count; ++x) {
    const uint8_t* p = in + size_t(columns[x]) * 3;
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
    out += 3;
  }
}

// Copies the part `area` of the mapped rectangle; cols and rows map destination coordinates to
// source ones. Consecutive rows from the same source row repeat the row just written.
void BlitArea(TBitmap& dest, const TBitmap& source, const TAxisMap& cols, const TAxisMap& rows,
              const TRect& area, TColumnOrder order, TPaletteMatcher* matcher) {
  const int bpp = dest.BitsPerPixel();
  const bool sameLayout =
      bpp == source.BitsPerPixel() && (bpp != 8 || dest.Palette() == source.Palette());
  const size_t bytesPerPixel = size_t(bpp / 8);
  const int count = area.Width();
  const int* columns = cols.Source.data() + (area.Left - cols.First);
  const size_t rowBytes = size_t(count) * bytesPerPixel;
  for (int y = area.Top; y < area.Bottom; ++y) {
    const int sy = rows.Source[size_t(y - rows.First)];
    uint8_t* out = dest.ScanLine(y) + size_t(area.Left) * bytesPerPixel;
    if (sameLayout && y > area.Top && rows.Source[size_t(y - 1 - rows.First)] == sy) {
      std::memcpy(out, dest.ScanLine(y - 1) + size_t(area.Left) * bytesPerPixel, rowBytes);
      continue;
    }
    const uint8_t* in = source.ScanLine(sy);
    if (!sameLayout) {
      if (bpp == 8) {
        for (int x = 0; x < count; ++x)
          out[x] = matcher->Match(FetchPixel(source, in, columns[x]));
      } else {
        const TPixel mask = source.BitsPerPixel() == 32 ? 0xFFFFFFFFu : 0x00FFFFFFu;
        for (int x = 0; x < count; ++x)
          StorePixel(dest, out - size_t(area.Left) * bytesPerPixel, area.Left + x,
                     FetchPixel(source, in, columns[x]) & mask);
      }
    } else if (order == TColumnOrder::Forward) {
      std::memcpy(out, in + size_t(columns[0]) * bytesPerPixel, rowBytes);
    } else if (order == TColumnOrder::Backward && bpp == 32) {
      ReverseRow(reinterpret_cast<uint32_t*>(out), reinterpret_cast<const uint32_t*>(in),
                 columns[0], count);
    } else if (bpp == 32) {
      GatherRow(reinterpret_cast<uint32_t*>(out), reinterpret_cast<const uint32_t*>(in), columns,
                count);
    } else if (bpp == 24) {
      GatherRow24(out, in, columns, count);
    } else {
      GatherRow(out, in, columns, count);
    }
  }
}

}  // namespace

void TCanvas::FillRect(const TRect& r) {
  TBitmap& dest = *owner_;
  const TRect area = Intersect(r.Normalized(), {0, 0, dest.Width(), dest.Height()});
  const std::vector<TRect> parts = ClippedRects(area, ClipRegion());
  if (parts.empty()) return;
  const TPixel pixel = ColorToPixel(Brush.Color);
  const int bpp = dest.BitsPerPixel();
  const uint8_t index = bpp == 8 ? TPaletteMatcher(dest.Palette()).Match(pixel) : 0;
  for (const TRect& part : parts) {
    for (int y = part.Top; y < part.Bottom; ++y) {
      uint8_t* row = dest.ScanLine(y);
      if (bpp == 32) {
        std::fill_n(reinterpret_cast<uint32_t*>(row) + part.Left, part.Width(), pixel);
      } else if (bpp == 24) {
        for (int x = part.Left; x < part.Right; ++x)
          StorePixel(dest, row, x, pixel);
      } else {
        std::memset(row + part.Left, index, size_t(part.Width()));
      }
    }
  }
}

void TCanvas::Draw(int x, int y, const TBitmap& source) {
  StretchBlt(x, y, source.Width(), source.Height(), source, 0, 0, source.Width(), source.Height());
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& source) {
  StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), source, 0, 0, source.Width(),
             source.Height());
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect) {
  StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), source.Bitmap(), sourceRect.Left,
             sourceRect.Top, sourceRect.Width(), sourceRect.Height());
}

bool TCanvas::StretchBlt(int xDest, int yDest, int wDest, int hDest, const TBitmap& source,
                         int xSrc, int ySrc, int wSrc, int hSrc) {
  if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0) return false;
  TBitmap& dest = *owner_;
  TAxisMap cols = BuildAxisMap(xDest, wDest, xSrc, wSrc, dest.Width(), source.Width());
  TAxisMap rows = BuildAxisMap(yDest, hDest, ySrc, hSrc, dest.Height(), source.Height());
  if (cols.Empty() || rows.Empty()) return true;

  // Within one bitmap the source area is taken aside first, so that nothing written can be
  // read again as source (no smearing when the areas overlap).
  const TBitmap* from = &source;
  TBitmap aside;
  if (&source == &dest) {
    const auto [x0, x1] = std::minmax_element(cols.Source.begin(), cols.Source.end());
    const auto [y0, y1] = std::minmax_element(rows.Source.begin(), rows.Source.end());
    const int left = *x0, top = *y0;
    aside = TBitmap(*x1 - left + 1, *y1 - top + 1, source.PixelFormat());
    aside.SetPalette(source.Palette());
    const size_t bytesPerPixel = size_t(source.BitsPerPixel() / 8);
    for (int y = 0; y < aside.Height(); ++y)
      std::memcpy(aside.ScanLine(y), source.ScanLine(top + y) + size_t(left) * bytesPerPixel,
                  size_t(aside.Width()) * bytesPerPixel);
    for (int& s : cols.Source)
      s -= left;
    for (int& s : rows.Source)
      s -= top;
    from = &aside;
  }

  // Equal extents map columns one to one, either way round.
  TColumnOrder order = TColumnOrder::Mapped;
  if (wDest == wSrc) order = TColumnOrder::Forward;
  if (wDest == -wSrc) order = TColumnOrder::Backward;
  std::optional<TPaletteMatcher> matcher;
  if (dest.BitsPerPixel() == 8) matcher.emplace(dest.Palette());
  const TRect area{cols.First, rows.First, cols.End(), rows.End()};
  for (const TRect& part : ClippedRects(area, ClipRegion()))
    BlitArea(dest, *from, cols, rows, part, order, matcher ? &*matcher : nullptr);
  return true;
}

}  // namespace kestrava
