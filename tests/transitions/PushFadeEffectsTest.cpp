#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "raster/Canvas.h"
#include "tests/transitions/EffectTestSupport.h"
#include "transitions/PushFadeEffects.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

using test::ExpectSameFrame;
using test::Numbered;
using test::RunEffect;

uint32_t* Row(TBitmap& b, int y) {
  return reinterpret_cast<uint32_t*>(b.ScanLine(y));
}

// Every pair of old and new byte values at every Progress, in each colour channel, with a fourth
// byte in both bitmaps that differs from pixel to pixel.
TEST(Fade, MixesEachChannelByProgressAndKeepsTheFourthByte) {
  // 259 columns: the last three pixels of a row fall outside any run of four.
  constexpr int kW = 259, kH = 256;
  TBitmap old(kW, kH, TPixelFormat::pf32bit), picture(kW, kH, TPixelFormat::pf32bit);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint32_t o = uint32_t(x & 0xFF), n = uint32_t(y);
      Row(old, y)[x] = (o ^ 0x5A) << 24 | (255 - o) << 16 | n << 8 | o;
      Row(picture, y)[x] = (n ^ 0xA5) << 24 | (o ^ n) << 16 | o << 8 | n;
    }
  for (int progress = 1; progress <= 99; ++progress) {
    TBitmap screen(old);
    EffectTable[118].Proc(screen, picture, {0, 0, kW, kH}, 4, progress);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const uint32_t o = Row(old, y)[x], n = Row(picture, y)[x], s = Row(screen, y)[x];
        ASSERT_EQ(s >> 24, o >> 24) << x << "," << y << " at " << progress;
        for (int shift = 0; shift < 24; shift += 8) {
          const uint32_t expected =
              ((100 - progress) * (o >> shift & 0xFF) + progress * (n >> shift & 0xFF)) / 100;
          ASSERT_EQ(s >> shift & 0xFF, expected) << x << "," << y << " at " << progress;
        }
      }
  }
}

TEST(Fade, GivesTheWorkedValues) {
  struct Case {
    uint8_t old, next;
    int progress;
    uint8_t shown;
  };
  const Case cases[] = {
      {200, 100, 25, 175}, {255, 255, 1, 255}, {255, 255, 99, 255}, {0, 255, 99, 252},
      {255, 0, 1, 252},    {1, 0, 50, 0},      {0, 1, 99, 0},       {17, 17, 63, 17},
  };
  for (const Case& c : cases) {
    const auto grey = [](uint8_t v) { return TPixel(v) * 0x010101u; };
    const TBitmap old = test::Solid(5, 3, grey(c.old), TPixelFormat::pf32bit);
    const TBitmap frame = RunEffect(118, test::Solid(5, 3, grey(c.next)), c.progress, 4, &old);
    EXPECT_EQ(frame.PixelAt(4, 2), grey(c.shown))
        << int(c.old) << " to " << int(c.next) << " at " << c.progress;
  }
}

// The two copies of each push, in the frame's terms: the old image S to D, then the new picture
// S to D.
struct TPushCopies {
  TRect oldS, oldD, newS, newD;
};
using TPushGeometry = std::function<TPushCopies(int W, int H, int sw, int sh)>;

std::vector<std::pair<int, TPushGeometry>> PushGeometry() {
  return {
      {128,
       [](int W, int H, int sw, int) {
         return TPushCopies{{0, 0, W - sw, H}, {sw, 0, W, H}, {W - sw, 0, W, H}, {0, 0, sw, H}};
       }},
      {129,
       [](int W, int H, int sw, int) {
         return TPushCopies{{sw, 0, W, H}, {0, 0, W - sw, H}, {0, 0, sw, H}, {W - sw, 0, W, H}};
       }},
      {130,
       [](int W, int H, int sw, int) {
         return TPushCopies{{0, 0, W, H}, {sw, 0, W, H}, {W - sw, 0, W, H}, {0, 0, sw, H}};
       }},
      {131,
       [](int W, int H, int sw, int) {
         return TPushCopies{{0, 0, W, H}, {0, 0, W - sw, H}, {0, 0, sw, H}, {W - sw, 0, W, H}};
       }},
      {132,
       [](int W, int H, int, int sh) {
         return TPushCopies{{0, 0, W, H - sh}, {0, sh, W, H}, {0, H - sh, W, H}, {0, 0, W, sh}};
       }},
      {133,
       [](int W, int H, int, int sh) {
         return TPushCopies{{0, sh, W, H}, {0, 0, W, H - sh}, {0, 0, W, sh}, {0, H - sh, W, H}};
       }},
      {134,
       [](int W, int H, int, int sh) {
         return TPushCopies{{0, 0, W, H}, {0, sh, W, H}, {0, H - sh, W, H}, {0, 0, W, sh}};
       }},
      {135,
       [](int W, int H, int, int sh) {
         return TPushCopies{{0, 0, W, H}, {0, 0, W, H - sh}, {0, 0, W, sh}, {0, H - sh, W, H}};
       }},
  };
}

// The old image is a numbered picture too (with a marker bit), so that every moved or squeezed
// pixel says where it came from. The expected frame copies from a separate copy of the old
// image: a push that read pixels it had already moved would smear and differ.
TEST(PushEffects, MoveTheOldImageOutAndTheNewPictureIn) {
  struct Size {
    int w, h, progress;
  };
  const Size sizes[] = {{640, 480, 25}, {640, 480, 99}, {37, 23, 50}, {23, 37, 63},
                        {5, 3, 1},      {1, 1, 50},     {2, 1, 99}};
  for (const auto& [style, geometry] : PushGeometry())
    for (const Size& z : sizes) {
      SCOPED_TRACE(::testing::Message()
                   << "style " << style << " " << z.w << "x" << z.h << " at " << z.progress);
      const TBitmap picture = Numbered(z.w, z.h);
      TBitmap old = Numbered(z.w, z.h);
      for (int y = 0; y < z.h; ++y)
        for (int x = 0; x < z.w; ++x)
          Row(old, y)[x] |= 0x00800000u;
      const TProgressExtents e = ProgressExtents({0, 0, z.w, z.h}, 4, z.progress);
      const TPushCopies c = geometry(z.w, z.h, e.sw, e.sh);
      TBitmap expected(old);
      expected.Canvas().CopyRect(c.oldD, old.Canvas(), c.oldS);
      expected.Canvas().CopyRect(c.newD, picture.Canvas(), c.newS);
      ExpectSameFrame(RunEffect(style, picture, z.progress, 4, &old), expected);
    }
}

// The worked example, pixel by pixel: old columns 0..480 move to 160..640.
TEST(PushEffects, PushRightMovesTheOldImageWithinTheFrameWithoutSmearing) {
  const TBitmap picture = test::Solid(640, 480, 0x00123456u), old = Numbered(640, 480);
  const TBitmap frame = RunEffect(128, picture, 25, 4, &old);
  for (int y = 0; y < 480; y += 7)
    for (int x = 0; x < 640; ++x)
      ASSERT_EQ(frame.PixelAt(x, y), x < 160 ? 0x00123456u : old.PixelAt(x - 160, y))
          << x << "," << y;
}

// Near the end the whole old image is squeezed into a strip a few pixels deep: its columns (or
// rows) in order, the last one included, nothing of the new picture among them.
TEST(PushEffects, SqueezeKeepsTheWholeOldImageInTheStrip) {
  for (int style : {130, 131, 134, 135}) {
    SCOPED_TRACE(::testing::Message() << "style " << style);
    const bool down = style > 131, toEnd = style == 130 || style == 134;
    const int w = down ? 48 : 640, h = down ? 640 : 48;
    const TBitmap picture = test::Solid(w, h, 0x00123456u), old = Numbered(w, h);
    const TBitmap frame = RunEffect(style, picture, 99, 4, &old);  // s = 634
    const auto oldAt = [&](int p) {
      const TPixel v = down ? frame.PixelAt(3, p) : frame.PixelAt(p, 3);
      EXPECT_NE(v, 0x00123456u) << p;
      return int(down ? v >> 12 : v & 0xFFF);
    };
    const int first = toEnd ? 634 : 0;
    for (int p = first + 1; p < first + 6; ++p)
      EXPECT_LT(oldAt(p - 1), oldAt(p));
    EXPECT_EQ(oldAt(first + 5), 639);
    EXPECT_LE(oldAt(first), 640 / 6);  // from the first sixth
  }
}

}  // namespace
}  // namespace kestrava
