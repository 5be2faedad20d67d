#include "transitions/PushFadeEffects.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "raster/Canvas.h"
#include "transitions/AxisSpans.h"
#include "transitions/EffectDrawing.h"

namespace kestrava {

namespace {

// n div 100 for 0 <= n <= 25500 (the largest mixed value) as a multiply and shift: n / 100 falls
// at least 1/100 short of the next integer, and 5243 / 2^19 exceeds 1/100 by so little that n
// times the excess stays below 0.006.
constexpr uint32_t kDiv100Multiplier = 5243;
constexpr int kDiv100Shift = 19;

constexpr uint32_t kFourthByte = 0xFF000000u;

void BlendRow(uint32_t* out, const uint32_t* in, int count, int progress) {
  const uint32_t keep = uint32_t(100 - progress), take = uint32_t(progress);
  int x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i keep16 = _mm_set1_epi16(int16_t(keep)), take16 = _mm_set1_epi16(int16_t(take));
  const __m128i multiplier = _mm_set1_epi16(int16_t(kDiv100Multiplier));
  const __m128i fourth = _mm_set1_epi32(int32_t(kFourthByte));
  // The 16-bit lanes hold at most 25500; the high half of the unsigned product with the
  // multiplier is n * 5243 >> 16, three more bits of shift finish the division.
  const auto mix = [&](__m128i s, __m128i p) {
    const __m128i n = _mm_add_epi16(_mm_mullo_epi16(s, keep16), _mm_mullo_epi16(p, take16));
    return _mm_srli_epi16(_mm_mulhi_epu16(n, multiplier), kDiv100Shift - 16);
  };
  for (; x + 4 <= count; x += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + x));
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
    const __m128i lo = mix(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(p, zero));
    const __m128i hi = mix(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(p, zero));
    const __m128i mixed = _mm_packus_epi16(lo, hi);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_or_si128(_mm_andnot_si128(fourth, mixed), _mm_and_si128(fourth, s)));
  }
#endif
  for (; x < count; ++x) {
    const uint32_t s = out[x], p = in[x];
    uint32_t mixed = s & kFourthByte;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t n = keep * (s >> shift & 0xFF) + take * (p >> shift & 0xFF);
      mixed |= (n * kDiv100Multiplier >> kDiv100Shift) << shift;
    }
    out[x] = mixed;
  }
}

}  // namespace

void BlendInto(TBitmap& screen, const TBitmap& picture, int progress) {
  if (screen.BitsPerPixel() != 32 || picture.BitsPerPixel() != 32) return;
  progress = std::clamp(progress, 0, 100);
  const int width = std::min(screen.Width(), picture.Width());
  const int height = std::min(screen.Height(), picture.Height());
  for (int y = 0; y < height; ++y)
    BlendRow(reinterpret_cast<uint32_t*>(screen.ScanLine(y)),
             reinterpret_cast<const uint32_t*>(picture.ScanLine(y)), width, progress);
}

void Fade(TBitmap& Screen, const TBitmap& Picture, const TRect&, uint16_t, int Progress) {
  BlendInto(Screen, Picture, Progress);
}

namespace {

// The copies of one push along its axis: the old image moved, the new picture following.
struct TPush : TAxisCopies {
  using TAxisCopies::TAxisCopies;

  // The old image, span [a, b) as the frame holds it on entry, moved or squeezed into [c, d).
  // The canvas reads all of a copy's source before it writes, so overlapping spans don't smear.
  void Old(int a, int b, int c, int d) const {
    Screen.Canvas().CopyRect(Along(c, d), Screen.Canvas(), Along(a, b));
  }
  // Span [a, b) of the new picture into [c, d).
  void New(int a, int b, int c, int d) const { Copy(a, b, c, d); }
};

#define KESTRAVA_PUSH_EFFECTS(across, down, body)                                     \
  void across(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step, \
              int Progress) {                                                         \
    const TPush t(Screen, Picture, R, Step, Progress, TAxis::Across);                 \
    const int L = t.L, s = t.s;                                                       \
    body;                                                                             \
  }                                                                                   \
  void down(TBitmap& Screen, const TBitmap& Picture, const TRect& R, uint16_t Step,   \
            int Progress) {                                                           \
    const TPush t(Screen, Picture, R, Step, Progress, TAxis::Down);                   \
    const int L = t.L, s = t.s;                                                       \
    body;                                                                             \
  }

}  // namespace

// Push: the old image slides out at its true size, the new picture's leading edge follows it.
KESTRAVA_PUSH_EFFECTS(PushRight, PushDown, (t.Old(0, L - s, s, L), t.New(L - s, L, 0, s)))
KESTRAVA_PUSH_EFFECTS(PushLeft, PushUp, (t.Old(s, L, 0, L - s), t.New(0, s, L - s, L)))
// Push and squeeze: the whole old image squeezed into what the new picture leaves of the frame.
KESTRAVA_PUSH_EFFECTS(PushAndSqueezeRight, PushAndSqueezeDown,
                      (t.Old(0, L, s, L), t.New(L - s, L, 0, s)))
KESTRAVA_PUSH_EFFECTS(PushAndSqueezeLeft, PushAndSqueezeUp,
                      (t.Old(0, L, 0, L - s), t.New(0, s, L - s, L)))

#undef KESTRAVA_PUSH_EFFECTS

}  // namespace kestrava
