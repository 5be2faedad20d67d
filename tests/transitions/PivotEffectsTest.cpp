#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tests/transitions/EffectTestSupport.h"
#include "transitions/PivotEffects.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

using test::kOld;
using test::Numbered;
using test::RunEffect;

uint32_t& At(TBitmap& b, int x, int y) {
  return reinterpret_cast<uint32_t*>(b.ScanLine(y))[x];
}

// A numbered 32-bit picture whose fourth bytes are not zero, and an old image with other ones.
TBitmap Picture(int w, int h) {
  TBitmap b = Numbered(w, h, TPixelFormat::pf32bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      At(b, x, y) |= uint32_t((x + 3 * y) & 0xFF) << 24;
  return b;
}

TBitmap Old(int w, int h) {
  TBitmap b = test::Solid(w, h, kOld, TPixelFormat::pf32bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      At(b, x, y) |= uint32_t((7 * x + y) & 0xFF) << 24;
  return b;
}

// Each style's pivot and angle, and the rotation worked out pixel by pixel in floating point
// (every sum is exact in a double), with rows counted upward from the bottom.
struct TPivot {
  int cx, cy;
  double theta;
};

TPivot PivotOf(int style, int W, int H, int P) {
  const double quarter = (100 - P) * std::numbers::pi / 200;
  switch (style) {
    case 119:
      return {-1, -1, quarter};
    case 120:
      return {-1, H, -quarter};
    case 121:
      return {W, -1, -quarter};
    default:
      return {W, H, quarter};
  }
}

TBitmap Rotated(const TBitmap& picture, const TBitmap& old, const TPivot& p) {
  const int W = picture.Width(), H = picture.Height();
  const double S = std::trunc(std::sin(-p.theta) * 65536),
               C = std::trunc(std::cos(-p.theta) * 65536);
  TBitmap frame(old);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      const double a = X + 1 - p.cx, e = Y + 1 - p.cy;
      const double xs = std::floor((a * C - e * S) / 65536) + p.cx;
      const double ys = std::floor((a * S + e * C) / 65536) + p.cy;
      if (xs >= 0 && xs < W && ys >= 0 && ys < H)
        At(frame, X, H - 1 - Y) =
            reinterpret_cast<const uint32_t*>(picture.ScanLine(H - 1 - int(ys)))[int(xs)];
    }
  return frame;
}

void ExpectSameWords(const TBitmap& actual, const TBitmap& expected) {
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x)
      ASSERT_EQ(reinterpret_cast<const uint32_t*>(actual.ScanLine(y))[x],
                reinterpret_cast<const uint32_t*>(expected.ScanLine(y))[x])
          << "at " << x << "," << y;
}

// Whole pixels, fourth byte included, exactly where the rotation puts them; the rest keeps the
// old image. The wide and tall pictures pass 32767 pixels: their sums need more than 32 bits
// and their coordinates more than 16.
TEST(PivotEffects, TurnThePictureAboutTheirCorner) {
  struct Size {
    int w, h;
  };
  const Size sizes[] = {{1, 1}, {2, 3}, {37, 23}, {23, 37}, {64, 48}, {40000, 3}, {3, 40000}};
  for (auto [w, h] : sizes) {
    const TBitmap picture = Picture(w, h), old = Old(w, h);
    for (int style = 119; style <= 122; ++style)
      for (int progress : {1, 13, 50, 87, 99}) {
        SCOPED_TRACE(::testing::Message()
                     << "style " << style << " " << w << "x" << h << " at " << progress);
        TBitmap frame(old);
        EffectTable[style].Proc(frame, picture, {0, 0, w, h}, 4, progress);
        ExpectSameWords(frame, Rotated(picture, old, PivotOf(style, w, h, progress)));
      }
  }
}

// Halfway through, style 119 has turned an eighth of a turn about its hinge below the bottom-left
// corner: no pixel with Y < X + 2 (rows counted from the bottom) is reached. Target (0, 2), with
// a = 2, e = 4 and S = -C = -46340, takes the picture's (3, 0).
TEST(PivotEffects, TopLeftPivotLeavesTheLowerDiagonalHalfwayThrough) {
  constexpr int W = 64, H = 48;
  const TBitmap picture = Numbered(W, H);
  const TBitmap frame = RunEffect(119, picture, 50);
  for (int Y = 0; Y < H; ++Y)
    for (int X = std::max(Y - 1, 0); X < W; ++X)  // Y < X + 2
      ASSERT_EQ(frame.PixelAt(X, H - 1 - Y), kOld) << X << "," << Y;
  EXPECT_EQ(frame.PixelAt(0, H - 1 - 2), picture.PixelAt(3, H - 1));
}

// Early on, each style has brought in the corner it swings in from, and only that one (on a
// landscape frame; a tall one swings its short side in).
TEST(PivotEffects, EachSwingsInFromItsOwnCorner) {
  struct Case {
    int style;
    bool left, top;
  };
  const Case cases[] = {
      {119, true, true}, {120, true, false}, {121, false, true}, {122, false, false}};
  for (auto [w, h] : {std::pair{64, 48}, std::pair{100, 60}})
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "style " << c.style << " " << w << "x" << h);
      const TBitmap frame = RunEffect(c.style, Numbered(w, h), 20);
      for (bool left : {false, true})
        for (bool top : {false, true})
          EXPECT_EQ(frame.PixelAt(left ? 0 : w - 1, top ? 0 : h - 1) != kOld,
                    left == c.left && top == c.top)
              << (left ? "left " : "right ") << (top ? "top" : "bottom");
    }
}

TEST(RotateInto, LeavesMismatchedBitmapsAlone) {
  const TBitmap picture = Picture(8, 6), old = Old(8, 6), taller = Old(8, 7);
  TBitmap frame(taller);
  RotateInto(frame, picture, -1, -1, 0.3);
  ExpectSameWords(frame, taller);
  TBitmap narrow(old);
  narrow.SetPixelFormat(TPixelFormat::pf24bit);
  const TBitmap before(narrow);
  RotateInto(narrow, picture, -1, -1, 0.3);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(narrow.PixelAt(x, y), before.PixelAt(x, y));
}

}  // namespace
}  // namespace kestrava
