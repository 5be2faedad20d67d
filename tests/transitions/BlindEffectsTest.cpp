#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/transitions/EffectTestSupport.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

using test::kOld;
using test::Numbered;
using test::RunEffect;

// Whether the frame shows the new picture at (x, y) and nothing else anywhere: the new picture's
// own pixel where `revealed` says so, the old image everywhere else.
void ExpectRevealed(const TBitmap& frame, const TBitmap& picture,
                    const std::function<bool(int x, int y)>& revealed) {
  for (int y = 0; y < frame.Height(); ++y)
    for (int x = 0; x < frame.Width(); ++x)
      ASSERT_EQ(frame.PixelAt(x, y), revealed(x, y) ? picture.PixelAt(x, y) : kOld)
          << "at " << x << "," << y;
}

// The worked examples: an 800-pixel-wide picture at Step 4 (u = 36).
TEST(BlindEffects, WorkedExamplesOnAnEightHundredPixelPicture) {
  struct Case {
    int style, progress;
    int pitch, open;  // columns [k pitch, k pitch + open) are revealed
  };
  const Case cases[] = {
      {136, 50, 22, 11},  // pitch 800 div 36, half of it open
      {136, 99, 22, 21},
      {138, 10, 80, 8},     // 10 blinds 8 pixels wide
      {138, 50, 400, 200},  // 2 blinds 200 pixels wide
  };
  const TBitmap picture = Numbered(800, 12);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "style " << c.style << " at " << c.progress);
    ExpectRevealed(RunEffect(c.style, picture, c.progress), picture,
                   [&](int x, int) { return x % c.pitch < c.open; });
  }
}

// Revealed positions of a row of strips, written as membership rather than as a loop over
// rectangles. A pitch of 0 reveals nothing.
bool FromNear(int pos, int pitch, int open) {
  return pitch > 0 && pos % pitch < open;
}
// Strips ending at L, L - pitch, ...: counted from the far side.
bool FromFar(int pos, int length, int pitch, int open) {
  return pitch > 0 && (length - 1 - pos) % pitch < open;
}
// Bars 2d wide centred in each pitch, d = pitch P div 200.
bool Bars(int pos, int pitch, int progress) {
  if (pitch <= 0) return false;
  const int d = pitch * progress / 200, first = pitch / 2 - d;
  return pos >= first && (pos - first) % pitch < 2 * d;
}

TEST(BlindEffects, EveryStyleRevealsExactlyItsStrips) {
  using TReveal = std::function<bool(const TProgressExtents& e, int P, int x, int y)>;
  // A step unit of 0 divides as 1.
  const auto U = [](const TProgressExtents& e) { return std::max(e.u, 1); };
  const std::pair<int, TReveal> styles[] = {
      {136,
       [U](const TProgressExtents& e, int P, int x, int) {
         const int p = e.W / U(e);
         return FromNear(x, p, p * P / 100);
       }},
      {137,
       [U](const TProgressExtents& e, int P, int, int y) {
         const int p = e.H / U(e);
         return FromNear(y, p, p * P / 100);
       }},
      {138, [](const TProgressExtents& e, int P, int x,
               int) { return FromNear(x, e.sw, e.sw * P / 100); }},
      {139, [](const TProgressExtents& e, int P, int x,
               int) { return FromFar(x, e.W, e.sw, e.sw * P / 100); }},
      {140, [](const TProgressExtents& e, int P, int,
               int y) { return FromNear(y, e.sh, e.sh * P / 100); }},
      {141, [](const TProgressExtents& e, int P, int,
               int y) { return FromFar(y, e.H, e.sh, e.sh * P / 100); }},
      {145, [U](const TProgressExtents& e, int P, int x,
                int y) { return Bars(y, e.H / U(e), P) || FromNear(x, e.sw, e.sw * P / 100); }},
      {146, [U](const TProgressExtents& e, int P, int x,
                int y) { return Bars(y, e.H / U(e), P) || FromFar(x, e.W, e.sw, e.sw * P / 100); }},
      {147, [U](const TProgressExtents& e, int P, int x,
                int y) { return Bars(x, e.W / U(e), P) || FromNear(y, e.sh, e.sh * P / 100); }},
      {148, [U](const TProgressExtents& e, int P, int x,
                int y) { return Bars(x, e.W / U(e), P) || FromFar(y, e.H, e.sh, e.sh * P / 100); }},
  };
  struct Size {
    int w, h;
    uint16_t step;
  };
  const Size sizes[] = {
      {97, 61, 4},    // landscape: pitches do not divide the frame
      {61, 97, 4},    // portrait
      {90, 60, 100},  // u = 100 is wider than the frame: every step pitch is 0
      {200, 20, 10},  // u = 22: bars across the height have pitch 0, the blinds still open
      {10, 5, 4},     // u = 0 counts as 1: one blind the whole frame wide
  };
  for (const Size& size : sizes) {
    const TBitmap picture = Numbered(size.w, size.h);
    for (int progress : {1, 7, 33, 50, 99}) {
      const TProgressExtents e = ProgressExtents({0, 0, size.w, size.h}, size.step, progress);
      for (const auto& style : styles) {
        SCOPED_TRACE(::testing::Message() << "style " << style.first << " " << size.w << "x"
                                          << size.h << " step " << size.step << " at " << progress);
        ExpectRevealed(RunEffect(style.first, picture, progress, size.step), picture,
                       [&](int x, int y) { return style.second(e, progress, x, y); });
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST(BlindEffects, APitchOfZeroDrawsNothing) {
  // u = 100 > W: W div u = 0 for the step blinds; sw = 0 at 1 % of a 40-pixel picture.
  const TBitmap picture = Numbered(90, 60);
  const TBitmap small = Numbered(40, 30);
  for (int style : {136, 137})
    ExpectRevealed(RunEffect(style, picture, 50, 100), picture, [](int, int) { return false; });
  for (int style : {138, 139, 140, 141, 145, 146, 147, 148})
    ExpectRevealed(RunEffect(style, small, 1, 100), small, [](int, int) { return false; });
}

}  // namespace
}  // namespace kestrava
