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

// Regions of many small pieces (bars, grids, shreds) copy a few pixels at a time, where a call
// of the library's memcpy costs more than the copy: short runs go 16 bytes at a time inline.
inline void CopyBytes(uint8_t* out, const uint8_t* in, size_t bytes) {
  if (bytes > 256) {
    std::memcpy(out, in, bytes);
    return;
  }
  for (; bytes >= 16; bytes -= 16, out += 16, in += 16)
    std::memcpy(out, in, 16);
  for (; bytes >= 4; bytes -= 4, out += 4, in += 4)
    std::memcpy(out, in, 4);
  for (; bytes > 0; --bytes)
    *out++ = *in++;
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

// One copy in progress: the mapped destination area and how each of its rows is filled.
class TBlit {
 public:
  TBlit(TBitmap& dest, const TBitmap& source, const TAxisMap& cols, const TAxisMap& rows,
        TColumnOrder order, TPaletteMatcher* matcher, bool onePiecePerRow)
      : dest_(dest),
        source_(source),
        cols_(cols),
        rows_(rows),
        order_(order),
        matcher_(matcher),
        onePiecePerRow_(onePiecePerRow),
        bpp_(dest.BitsPerPixel()),
        bytesPerPixel_(size_t(bpp_ / 8)),
        sameLayout_(bpp_ == source.BitsPerPixel() &&
                    (bpp_ != 8 || dest.Palette() == source.Palette())) {}

  bool SameLayout() const { return sameLayout_; }

  // Fills pixels [x0, x1) of row y. A row whose source row is that of the row above repeats the
  // row above, which is already written when the pieces go row by row.
  void Row(int y, int x0, int x1, bool aboveWritten) const {
    const int sy = SourceRow(y);
    uint8_t* out = dest_.ScanLine(y) + size_t(x0) * bytesPerPixel_;
    const int count = x1 - x0;
    const size_t bytes = size_t(count) * bytesPerPixel_;
    if (sameLayout_ && aboveWritten && SourceRow(y - 1) == sy) {
      CopyBytes(out, dest_.ScanLine(y - 1) + size_t(x0) * bytesPerPixel_, bytes);
      return;
    }
    const int* columns = cols_.Source.data() + (x0 - cols_.First);
    const uint8_t* in = source_.ScanLine(sy);
    // A copy within one bitmap that reads the row it writes: a shift of the row's only piece
    // moves the bytes safely; otherwise the pieces read from a copy of the row taken before the
    // first of them is written.
    if (&source_ == &dest_ && sy == y) {
      if (order_ == TColumnOrder::Forward && onePiecePerRow_) {
        std::memmove(out, in + size_t(columns[0]) * bytesPerPixel_, bytes);
        return;
      }
      if (rowCopyOf_ != y) {
        rowCopy_.assign(in, in + size_t(source_.Width()) * bytesPerPixel_);
        rowCopyOf_ = y;
      }
      in = rowCopy_.data();
    }
    if (!sameLayout_) {
      ConvertingRow(out, in, columns, count);
    } else if (order_ == TColumnOrder::Forward) {
      CopyBytes(out, in + size_t(columns[0]) * bytesPerPixel_, bytes);
    } else if (order_ == TColumnOrder::Backward && bpp_ == 32) {
      ReverseRow(reinterpret_cast<uint32_t*>(out), reinterpret_cast<const uint32_t*>(in),
                 columns[0], count);
    } else if (bpp_ == 32) {
      GatherRow(reinterpret_cast<uint32_t*>(out), reinterpret_cast<const uint32_t*>(in), columns,
                count);
    } else if (bpp_ == 24) {
      GatherRow24(out, in, columns, count);
    } else {
      GatherRow(out, in, columns, count);
    }
  }

 private:
  int SourceRow(int y) const { return rows_.Source[size_t(y - rows_.First)]; }

  void ConvertingRow(uint8_t* out, const uint8_t* in, const int* columns, int count) const {
    if (bpp_ == 8) {
      for (int x = 0; x < count; ++x)
        out[x] = matcher_->Match(FetchPixel(source_, in, columns[x]));
      return;
    }
    // The fourth byte is carried only from a 32-bit source.
    const TPixel mask = source_.BitsPerPixel() == 32 ? 0xFFFFFFFFu : 0x00FFFFFFu;
    for (int x = 0; x < count; ++x)
      StorePixel(dest_, out, x, FetchPixel(source_, in, columns[x]) & mask);
  }

  TBitmap& dest_;
  const TBitmap& source_;
  const TAxisMap& cols_;
  const TAxisMap& rows_;
  const TColumnOrder order_;
  TPaletteMatcher* const matcher_;
  const bool onePiecePerRow_;
  const int bpp_;
  const size_t bytesPerPixel_;
  const bool sameLayout_;
  mutable std::vector<uint8_t> rowCopy_;
  mutable int rowCopyOf_ = -1;
};

// Draws the pieces band by band and, within a band, row by row across all of its pieces, so that
// memory is walked in the bitmap's own order even when a region is made of thin columns.
template <typename TDrawRow>
void ForEachRowPiece(const std::vector<TRect>& pieces, TDrawRow drawRow) {
  for (size_t band = 0; band < pieces.size();) {
    size_t end = band + 1;
    while (end < pieces.size() && pieces[end].Top == pieces[band].Top &&
           pieces[end].Bottom == pieces[band].Bottom)
      ++end;
    for (int y = pieces[band].Top; y < pieces[band].Bottom; ++y)
      for (size_t i = band; i < end; ++i)
        drawRow(y, pieces[i].Left, pieces[i].Right, y > pieces[band].Top);
    band = end;
  }
}

// The same pieces from the bottom row up.
template <typename TDrawRow>
void ForEachRowPieceUpwards(const std::vector<TRect>& pieces, TDrawRow drawRow) {
  for (size_t end = pieces.size(); end > 0;) {
    size_t band = end - 1;
    while (band > 0 && pieces[band - 1].Top == pieces[end - 1].Top &&
           pieces[band - 1].Bottom == pieces[end - 1].Bottom)
      --band;
    for (int y = pieces[band].Bottom - 1; y >= pieces[band].Top; --y)
      for (size_t i = band; i < end; ++i)
        drawRow(y, pieces[i].Left, pieces[i].Right, false);
    end = band;
  }
}

// Which way a copy within one bitmap can go row by row without reading a row it has already
// written: downwards when every row takes a source row at or below itself, upwards when at or
// above, neither otherwise.
enum class TRowOrder { Downwards, Upwards, Neither };

TRowOrder InPlaceRowOrder(const TAxisMap& rows) {
  bool down = true, up = true;
  for (size_t i = 0; i < rows.Source.size(); ++i) {
    const int y = rows.First + int(i);
    down = down && rows.Source[i] >= y;
    up = up && rows.Source[i] <= y;
  }
  return down ? TRowOrder::Downwards : up ? TRowOrder::Upwards : TRowOrder::Neither;
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
  ForEachRowPiece(parts, [&](int y, int x0, int x1, bool) {
    uint8_t* row = dest.ScanLine(y);
    if (bpp == 32) {
      std::fill_n(reinterpret_cast<uint32_t*>(row) + x0, x1 - x0, pixel);
    } else if (bpp == 24) {
      for (int x = x0; x < x1; ++x)
        StorePixel(dest, row, x, pixel);
    } else {
      std::memset(row + x0, index, size_t(x1 - x0));
    }
  });
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

  // Within one bitmap nothing written may be read again as source (no smearing when the areas
  // overlap): the rows go in an order that reads each before it is overwritten, or else the
  // source area is taken aside first.
  const TBitmap* from = &source;
  TBitmap aside;
  const TRowOrder inPlace = &source == &dest ? InPlaceRowOrder(rows) : TRowOrder::Neither;
  if (&source == &dest && inPlace == TRowOrder::Neither) {
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
  const TBlit blit(dest, *from, cols, rows, order, matcher ? &*matcher : nullptr, !ClipRegion());
  // Whole rows, one to one, with nothing clipped away: the rows lie back to back in both bitmaps,
  // and one copy of the block lets the library stream it (no reads of the destination first).
  const bool wholeRows = !ClipRegion() && order == TColumnOrder::Forward && hDest == hSrc &&
                         hDest > 0 && cols.First == 0 && cols.End() == dest.Width() &&
                         cols.Source.front() == 0 && from->Width() == dest.Width();
  if (wholeRows && blit.SameLayout() && from->Stride() == dest.Stride()) {
    // A block moved within one bitmap may overlap itself.
    std::memmove(dest.ScanLine(rows.First), from->ScanLine(rows.Source.front()),
                 dest.Stride() * rows.Source.size());
    return true;
  }
  const TRect area{cols.First, rows.First, cols.End(), rows.End()};
  const std::vector<TRect> pieces = ClippedRects(area, ClipRegion());
  if (inPlace == TRowOrder::Upwards)
    ForEachRowPieceUpwards(pieces,
                           [&](int y, int x0, int x1, bool) { blit.Row(y, x0, x1, false); });
  else
    ForEachRowPiece(pieces, [&](int y, int x0, int x1, bool aboveWritten) {
      blit.Row(y, x0, x1, aboveWritten);
    });
  return true;
}

}  // namespace kestrava
