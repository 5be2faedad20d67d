#include "transitions/FrameComposition.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <span>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrava {

namespace {

// Copies pixels to the frame past the caches: the frame is written whole and not read again
// here, so fetching its old contents first would only double the memory traffic. Where out is
// 16-byte aligned and count a multiple of 4, every store is streamed.
void StreamRow(uint32_t* out, const uint32_t* in, int count) {
  int x = 0;
#if defined(__SSE2__)
  for (; x < count && (reinterpret_cast<uintptr_t>(out + x) & 15) != 0; ++x)
    out[x] = in[x];
  const auto load = [&](int i) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
  };
  const auto stream = [&](int i, __m128i v) {
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), v);
  };
  for (; x + 16 <= count; x += 16) {
    const __m128i a = load(x), b = load(x + 4), c = load(x + 8), d = load(x + 12);
    stream(x, a);
    stream(x + 4, b);
    stream(x + 8, c);
    stream(x + 12, d);
  }
  for (; x + 4 <= count; x += 4)
    stream(x, load(x));
#endif
  for (; x < count; ++x)
    out[x] = in[x];
}

// One row: the picture inside the runs (one band's rectangles, left to right), the old image
// elsewhere. Each stretch from one source streams whole; only a 16-byte piece that a run's edge
// cuts is put together pixel by pixel, so that no cache line is half streamed, half stored.
void StreamRuns(uint32_t* out, const uint32_t* old, const uint32_t* pic,
                std::span<const TRect> runs, int width) {
  size_t k = 0;  // the first run that does not end at or before x
  const auto inside = [&](int x, size_t& j) {
    while (j < runs.size() && runs[j].Right <= x)
      ++j;
    return j < runs.size() && runs[j].Left <= x;
  };
  int x = 0;
  for (; x < width && (reinterpret_cast<uintptr_t>(out + x) & 15) != 0; ++x)
    out[x] = inside(x, k) ? pic[x] : old[x];
  while (width - x >= 4) {
    const bool inPicture = inside(x, k);
    const int stretchEnd = std::min(k == runs.size() ? width
                                    : inPicture      ? runs[k].Right
                                                     : runs[k].Left,
                                    width);
    const int whole = (stretchEnd - x) & ~3;
    if (whole > 0) {
      StreamRow(out + x, (inPicture ? pic : old) + x, whole);
      x += whole;
      continue;
    }
    alignas(16) uint32_t cut[4];
    size_t j = k;
    for (int i = 0; i < 4; ++i)
      cut[i] = inside(x + i, j) ? pic[x + i] : old[x + i];
    StreamRow(out + x, cut, 4);
    x += 4;
  }
  for (; x < width; ++x)
    out[x] = inside(x, k) ? pic[x] : old[x];
}

// out := mask ? a : b, pixel by pixel, streamed past the caches like StreamRow.
void StreamSelectedRow(uint32_t* out, const uint32_t* a, const uint32_t* b, const uint32_t* mask,
                       int count) {
  const auto select = [&](int x) { out[x] = (a[x] & mask[x]) | (b[x] & ~mask[x]); };
  int x = 0;
#if defined(__SSE2__)
  for (; x < count && (reinterpret_cast<uintptr_t>(out + x) & 15) != 0; ++x)
    select(x);
  for (; x + 4 <= count; x += 4) {
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + x));
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
    _mm_stream_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_or_si128(_mm_and_si128(m, va), _mm_andnot_si128(m, vb)));
  }
#endif
  for (; x < count; ++x)
    select(x);
}

const uint32_t* Row(const TBitmap& b, int y) {
  return reinterpret_cast<const uint32_t*>(b.ScanLine(y));
}

}  // namespace

bool CanComposeThroughRegion(const TBitmap& frame, const TBitmap& oldScreen,
                             const TBitmap& picture) {
  return frame.BitsPerPixel() == 32 && oldScreen.BitsPerPixel() == 32 &&
         picture.BitsPerPixel() == 32 && frame.Width() == oldScreen.Width() &&
         frame.Height() == oldScreen.Height() && frame.Width() == picture.Width() &&
         frame.Height() == picture.Height();
}

void ComposeThroughRegion(TBitmap& frame, const TBitmap& oldScreen, const TBitmap& picture,
                          const Region& region) {
  const int width = frame.Width(), height = frame.Height();
  const std::vector<TRect> rects = region.Rects();
  std::vector<uint32_t> mask(size_t(std::max(width, 0)));
  int maskedBandTop = INT32_MIN;
  size_t band = 0;
  for (int y = 0; y < height; ++y) {
    // The band of rectangles that covers row y, if any: bands come top to bottom, each a run
    // of rectangles of one height sorted left to right.
    while (band < rects.size() && rects[band].Bottom <= y) {
      const int top = rects[band].Top;
      while (band < rects.size() && rects[band].Top == top)
        ++band;
    }
    auto* out = reinterpret_cast<uint32_t*>(frame.ScanLine(y));
    const uint32_t* old = Row(oldScreen, y);
    if (band >= rects.size() || rects[band].Top > y) {
      StreamRow(out, old, width);
      continue;
    }
    const uint32_t* pic = Row(picture, y);
    size_t end = band;
    while (end < rects.size() && rects[end].Top == rects[band].Top)
      ++end;
    if (size_t(width) >= 128 * (end - band)) {
      // A few long spans: each part of the row streams straight from its source.
      StreamRuns(out, old, pic, std::span(rects).subspan(band, end - band), width);
    } else {
      // Many short spans (bars, speckles): a mask of the band, made once, picks every pixel.
      if (maskedBandTop != rects[band].Top) {
        std::fill(mask.begin(), mask.end(), 0u);
        for (size_t i = band; i < end; ++i) {
          const int left = std::clamp(rects[i].Left, 0, width);
          const int right = std::clamp(rects[i].Right, left, width);
          std::fill(mask.begin() + left, mask.begin() + right, ~0u);
        }
        maskedBandTop = rects[band].Top;
      }
      StreamSelectedRow(out, pic, old, mask.data(), width);
    }
  }
#if defined(__SSE2__)
  _mm_sfence();
#endif
}

}  // namespace kestrava
