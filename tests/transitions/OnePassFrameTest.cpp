#include <gtest/gtest.h>

#include <cstring>

#include "raster/Random.h"
#include "raster/Region.h"
#include "transitions/FrameComposition.h"
#include "transitions/TransitionEffects.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava {
namespace {

// Every pixel distinct, fourth byte included, so that any pixel taken from the wrong bitmap,
// place or row shows.
TBitmap Pattern(int w, int h, uint32_t salt) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      reinterpret_cast<uint32_t*>(b.ScanLine(y))[x] = (uint32_t(y) << 12 | uint32_t(x)) ^ salt;
  return b;
}

void ExpectSameBits(const TBitmap& actual, const TBitmap& expected) {
  ASSERT_EQ(actual.Width(), expected.Width());
  ASSERT_EQ(actual.Height(), expected.Height());
  for (int y = 0; y < actual.Height(); ++y)
    ASSERT_EQ(std::memcmp(actual.ScanLine(y), expected.ScanLine(y), size_t(actual.Width()) * 4), 0)
        << "row " << y;
}

// The one-pass frame of each reveal style must be the frame the effect draws over the old image,
// whatever the frame held before, for odd and lopsided sizes, early, middle and late progress.
TEST(OnePassFrame, EqualsTheEffectDrawnOverTheOldImage) {
  struct Size {
    int w, h;
  };
  const Size sizes[] = {{64, 48}, {37, 53}, {300, 7}, {1, 1}};
  int checkedStyles = 0;
  for (int style = 1; style <= kMaxTransitionStyle; ++style) {
    const TEffect& effect = EffectTable[style];
    if (!effect.RevealRegion) continue;
    ++checkedStyles;
    for (const Size& size : sizes)
      for (const int progress : {1, 25, 50, 99})
        for (const uint16_t step : {uint16_t(1), uint16_t(4), uint16_t(30)}) {
          SCOPED_TRACE(::testing::Message() << "style " << style << " " << size.w << "x" << size.h
                                            << " progress " << progress << " step " << step);
          const TBitmap old = Pattern(size.w, size.h, 0xA5000000u);
          const TBitmap picture = Pattern(size.w, size.h, 0x5A800000u);
          const TRect r{0, 0, size.w, size.h};
          TBitmap drawn = old;
          SetRandSeed(1234);
          effect.Proc(drawn, picture, r, step, progress);

          TBitmap composed = Pattern(size.w, size.h, 0x3C3C3C3Cu);  // stale content
          SetRandSeed(1234);
          ComposeThroughRegion(composed, old, picture, effect.RevealRegion(r, step, progress));
          ExpectSameBits(composed, drawn);

          TBitmap made;
          SetRandSeed(1234);
          MakeTransitionFrame(TTransitionStyle(style), old, picture, step, progress, made);
          ExpectSameBits(made, drawn);
        }
  }
  EXPECT_GT(checkedStyles, 0);
}

// Regions reaching past the frame on every side, and bands that skip rows.
TEST(OnePassFrame, ClipsTheRegionToTheFrame) {
  // 300 pixels wide: bands of one or two pieces stream straight from their sources.
  const TBitmap old = Pattern(300, 30, 0x11000000u), picture = Pattern(300, 30, 0x22000000u);
  const TRect rects[] = {{-10, -5, 12, 3}, {230, -5, 390, 3}, {5, 10, 8, 12}, {-3, 20, 350, 40}};
  for (const bool many : {false, true}) {
    std::vector<TRect> pieces(std::begin(rects), std::end(rects));
    // Many thin columns in one band take the masked path.
    if (many)
      for (int x = 0; x < 300; x += 3)
        pieces.push_back({x, 14, x + 1, 18});
    const Region region = Region::FromRects(pieces);
    TBitmap expected = old;
    expected.Canvas().SelectClipRegion(region);
    expected.Canvas().Draw(0, 0, picture);
    TBitmap composed = Pattern(300, 30, 0x33000000u);
    ComposeThroughRegion(composed, old, picture, region);
    ExpectSameBits(composed, expected);
  }
}

}  // namespace
}  // namespace kestrava
