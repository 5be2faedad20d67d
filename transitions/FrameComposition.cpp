#include "transitions/FrameComposition.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrava {

namespace {

// Copies a finished row to the frame past the caches: the frame is written whole and not read
// again here, so fetching its old contents first would only double the memory traffic.
void StreamRow(uint32_t* out, const uint32_t* in, int count) {
  int x = 0;
#if defined(__SSE2__)
  for (; x < count && (reinterpret_cast<uintptr_t>(out + x) & 15) != 0; ++x)
    out[x] = in[x];
  for (; x + 16 <= count; x += 16) {
    const auto* from = reinterpret_cast<const __m128i*>(in + x);
    auto* to = reinterpret_cast<__m128i*>(out + x);
    const __m128i a = _mm_loadu_si128(from), b = _mm_loadu_si128(from + 1),
                  c = _mm_loadu_si128(from + 2), d = _mm_loadu_si128(from + 3);
    _mm_stream_si128(to, a);
    _mm_stream_si128(to + 1, b);
    _mm_stream_si128(to + 2, c);
    _mm_stream_si128(to + 3, d);
  }
#endif
  for (; x < count; ++x)
    out[x] = in[x];
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
      // A few long spans: each streams straight from its source.
      int x = 0;
      for (size_t i = band; i < end; ++i) {
        const int left = std::clamp(rects[i].Left, x, width);
        const int right = std::clamp(rects[i].Right, left, width);
        StreamRow(out + x, old + x, left - x);
        StreamRow(out + left, pic + left, right - left);
        x = right;
      }
      StreamRow(out + x, old + x, width - x);
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
