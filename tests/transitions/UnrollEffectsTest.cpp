#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "raster/Canvas.h"
#include "tests/transitions/EffectTestSupport.h"
#include "transitions/TransitionEffects.h"
#include "transitions/UnrollEffects.h"

namespace kestrava {
namespace {

using test::ExpectSameFrame;
using test::kOld;
using test::Numbered;
using test::RunEffect;
using test::Solid;

// One stretching blit with the platform's arguments: destination origin and extents (negative
// to mirror), then source origin and extents.
struct TBlit {
  int xd, yd, wd, hd, xs, ys, ws, hs;
};

TBlit Plain(const TRect& s, const TRect& d) {
  return {d.Left, d.Top, d.Width(), d.Height(), s.Left, s.Top, s.Width(), s.Height()};
}

// A 640 by 480 picture at Progress 50 and Step 4: sw = 320, sh = 240, u = 28; the rolls are
// W div 10 = 64 and H div 10 = 48 wide, the build-up strips W div u = 22 and H div u = 17 deep.
TEST(UnrollEffects, WorkedExamplesMakeTheirCopies) {
  struct Case {
    int style;
    std::vector<TBlit> blits;
  };
  const Case cases[] = {
      // Columns 384..448 mirrored into 320..384 (origin one past, extent one before), then 0..320.
      {14, {{385, 0, -66, 480, 384, 0, 64, 480}, Plain({0, 0, 320, 480}, {0, 0, 320, 480})}},
      {15, {{321, 0, -66, 480, 192, 0, 64, 480}, Plain({320, 0, 640, 480}, {320, 0, 640, 480})}},
      {31, {{0, 289, 640, -50, 0, 288, 640, 48}, Plain({0, 0, 640, 240}, {0, 0, 640, 240})}},
      {32, {{0, 241, 640, -50, 0, 144, 640, 48}, Plain({0, 240, 640, 480}, {0, 240, 640, 480})}},
      {16,
       {Plain({0, 0, 320, 480}, {0, 0, 320, 480}), Plain({320, 0, 342, 480}, {320, 0, 640, 480})}},
      {17,
       {Plain({320, 0, 640, 480}, {320, 0, 640, 480}),
        Plain({298, 0, 320, 480}, {0, 0, 320, 480})}},
      {33,
       {Plain({0, 0, 640, 240}, {0, 0, 640, 240}), Plain({0, 240, 640, 257}, {0, 240, 640, 480})}},
      {34,
       {Plain({0, 240, 640, 480}, {0, 240, 640, 480}),
        Plain({0, 223, 640, 240}, {0, 0, 640, 240})}},
  };
  const TBitmap picture = Numbered(640, 480);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "style " << c.style);
    TBitmap expected = Solid(640, 480, kOld);
    for (const TBlit& b : c.blits)
      expected.Canvas().StretchBlt(b.xd, b.yd, b.wd, b.hd, picture, b.xs, b.ys, b.ws, b.hs);
    ExpectSameFrame(RunEffect(c.style, picture, 50), expected);
  }
}

// The roll grows to a tenth of the length over the first fifth and shrinks over the last. Read
// from the frame: the roll next to the uncovered part shows, mirrored, the r picture columns (or
// rows) that follow it.
TEST(UnrollEffects, RollGrowsKeepsATenthAndShrinks) {
  struct Case {
    int progress, s, r;
  };
  const Case cases[] = {
      {1, 6, 3},     {10, 64, 32},  {19, 122, 61}, {20, 128, 64}, {50, 320, 64},
      {80, 512, 64}, {81, 518, 61}, {90, 576, 32}, {99, 634, 3},
  };
  // Along the axis of each style, on a picture 640 long that way.
  struct Style {
    int style;
    bool down, far;
  };
  const Style styles[] = {
      {14, false, false}, {15, false, true}, {31, true, false}, {32, true, true}};
  for (const Style& st : styles) {
    const TBitmap picture = st.down ? Numbered(48, 640) : Numbered(640, 48);
    // The picture coordinate shown at position p along the axis, or -1 for the old image.
    const auto shownAt = [&](const TBitmap& frame, int p) {
      const TPixel v = st.down ? frame.PixelAt(5, p) : frame.PixelAt(p, 5);
      if (v == kOld) return -1;
      return int(st.down ? v >> 12 : v & 0xFFF);
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "style " << st.style << " at " << c.progress);
      const TBitmap frame = RunEffect(st.style, picture, c.progress);
      if (!st.far) {
        EXPECT_EQ(shownAt(frame, c.s - 1), c.s - 1);
        EXPECT_EQ(shownAt(frame, c.s), c.s + 2 * c.r - 1);
        EXPECT_EQ(shownAt(frame, c.s + c.r + 1), c.s + c.r);
        EXPECT_EQ(shownAt(frame, c.s + c.r + 2), -1);
      } else {
        const int E = 640 - c.s;
        EXPECT_EQ(shownAt(frame, E), E);
        EXPECT_GE(shownAt(frame, E - 1), E - 2 * c.r);
        EXPECT_EQ(shownAt(frame, E - c.r), E - c.r - 1);
        EXPECT_EQ(shownAt(frame, E - c.r - 1), -1);
      }
    }
  }
}

// Whatever the size, Step and Progress: the unrolls show one unbroken run from their edge, the
// uncovered part plus a roll of at most a tenth (and the blit's extra pixel); the build-ups smear
// their strip over all the rest, so the frame is entirely new unless the strip is empty.
TEST(UnrollEffects, CoverAnUnbrokenRunFromTheirEdge) {
  constexpr TPixel kNew = 0x00123456u;
  const std::pair<int, int> sizes[] = {{64, 48}, {48, 64}, {37, 37}, {5, 3}, {1, 1}, {10, 5}};
  for (auto [w, h] : sizes) {
    const TBitmap solid = Solid(w, h, kNew);
    for (uint16_t step : {1, 4, 100})
      for (int progress = 1; progress <= 99; ++progress) {
        const TProgressExtents e = ProgressExtents({0, 0, w, h}, step, progress);
        for (int style : {14, 15, 16, 17, 31, 32, 33, 34}) {
          SCOPED_TRACE(::testing::Message() << "style " << style << " " << w << "x" << h << " step "
                                            << step << " at " << progress);
          const bool down = style > 30,
                     far = style == 15 || style == 17 || style == 32 || style == 34;
          const bool buildUp = style == 16 || style == 17 || style == 33 || style == 34;
          const int L = down ? h : w, s = down ? e.sh : e.sw;
          const TBitmap frame = RunEffect(style, solid, progress, step);
          // The covered run along the axis, measured from the style's edge.
          int run = 0;
          while (run < L) {
            const int p = far ? L - 1 - run : run;
            if ((down ? frame.PixelAt(0, p) : frame.PixelAt(p, 0)) != kNew) break;
            ++run;
          }
          if (buildUp) {
            // A step unit longer than the axis leaves no strip to smear.
            ASSERT_EQ(run, L / std::max(e.u, 1) > 0 ? L : s);
          } else {
            ASSERT_GE(run, s);
            ASSERT_LE(run, s + L / 10 + 2);
          }
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
              const int p = down ? y : x, fromEdge = far ? L - 1 - p : p;
              ASSERT_EQ(frame.PixelAt(x, y), fromEdge < run ? kNew : kOld) << x << "," << y;
            }
        }
      }
  }
}

// Near the end the build-up strip reaches the picture's edge and is copied at its true size;
// were it not cut there, its far part would come from outside the picture. Without a step unit
// (a tiny picture, a small Step) the strip is the whole length: the rest is shown in place.
TEST(UnrollEffects, BuildUpStripStopsAtThePictureEdge) {
  struct Case {
    int w, h;
    uint16_t step;
    int progress;
  };
  const Case cases[] = {
      {640, 480, 4, 97}, {640, 480, 4, 99}, {480, 640, 4, 99},  // strip past the edge
      {10, 5, 4, 30},    {10, 5, 4, 90},    {40, 30, 1, 50},    // u = 0
  };
  for (const Case& c : cases) {
    const TBitmap picture = Numbered(c.w, c.h);
    for (int style : {16, 17, 33, 34}) {
      SCOPED_TRACE(::testing::Message() << "style " << style << " " << c.w << "x" << c.h << " step "
                                        << c.step << " at " << c.progress);
      ExpectSameFrame(RunEffect(style, picture, c.progress, c.step), picture);
    }
  }
}

TEST(MirrorStretch, MirrorsIntoTheDestinationAndOnePixelPast) {
  // Eight pixels along the axis; source pixels 2..6 land reversed on 1..5.
  for (bool down : {false, true}) {
    SCOPED_TRACE(down ? "vertical" : "horizontal");
    const TBitmap picture = down ? Numbered(1, 8) : Numbered(8, 1);
    TBitmap screen = down ? Solid(1, 8, kOld) : Solid(8, 1, kOld);
    const auto along = [&](int a, int b) { return down ? TRect{0, a, 1, b} : TRect{a, 0, b, 1}; };
    MirrorStretch(screen.Canvas(), along(1, 4), picture, along(2, 7), !down, down);
    const TPixel expected[] = {kOld, 6, 5, 4, 3, 2, kOld, kOld};
    for (int p = 0; p < 8; ++p) {
      const TPixel v = down ? screen.PixelAt(0, p) : screen.PixelAt(p, 0);
      const TPixel e = expected[p] == kOld ? kOld : (down ? expected[p] << 12 : expected[p]);
      EXPECT_EQ(v, e) << p;
    }
  }
  // Both axes: a half turn.
  const TBitmap picture = Numbered(4, 4);
  TBitmap screen = Solid(4, 4, kOld);
  MirrorStretch(screen.Canvas(), {0, 0, 2, 2}, picture, {0, 0, 4, 4}, true, true);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(screen.PixelAt(x, y), picture.PixelAt(3 - x, 3 - y)) << x << "," << y;
}

TEST(MirrorStretch, ClipsTheSourceToTheBitmapAndCopiesPlainlyWithoutFlips) {
  const TBitmap picture = Numbered(16, 12);
  const TRect d{2, 3, 9, 10};
  struct Case {
    TRect s, clipped;
    bool hFlip, vFlip;
  };
  const Case cases[] = {
      {{10, 4, 20, 9}, {10, 4, 16, 9}, true, false},
      {{-3, -2, 5, 7}, {0, 0, 5, 7}, false, true},
      {{-1, 8, 17, 15}, {0, 8, 16, 12}, true, true},
  };
  for (const Case& c : cases) {
    TBitmap clipped = Solid(16, 12, kOld), unclipped = Solid(16, 12, kOld);
    MirrorStretch(unclipped.Canvas(), d, picture, c.s, c.hFlip, c.vFlip);
    MirrorStretch(clipped.Canvas(), d, picture, c.clipped, c.hFlip, c.vFlip);
    ExpectSameFrame(unclipped, clipped);
  }
  TBitmap plain = Solid(16, 12, kOld), copied = Solid(16, 12, kOld);
  MirrorStretch(plain.Canvas(), d, picture, {5, 1, 14, 11}, false, false);
  copied.Canvas().CopyRect(d, picture.Canvas(), {5, 1, 14, 11});
  ExpectSameFrame(plain, copied);
}

}  // namespace
}  // namespace kestrava
