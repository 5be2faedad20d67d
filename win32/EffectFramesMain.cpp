// kestrava-frames: the processor time of a transition frame at 1920 x 1080, for every style, as
// the transition player makes its frames (step 4, progress 4 to 96). Prints one line per style
// and the mean over all of them: the figure a Windows PC (or Wine) gives for the same engine that
// bench/EffectBench measures on Linux.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "raster/Bitmap.h"
#include "transitions/TransitionPlayer.h"

namespace {

constexpr int kW = 1920, kH = 1080;

double ProcessSeconds() {
  FILETIME created, ended, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto ticks = [](const FILETIME& t) {
    return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
  };
  return ticks(kernel) + ticks(user);
}

kestrava::TBitmap Gradient(bool warm, kestrava::TPixelFormat format) {
  kestrava::TBitmap b(kW, kH, format);
  for (int y = 0; y < kH; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(b.ScanLine(y));
    for (int x = 0; x < kW; ++x) {
      const uint32_t a = uint32_t(x * 255 / kW), c = uint32_t(y * 255 / kH);
      row[x] = warm ? (0xFFu << 16 | c << 8 | a / 4) : (a / 4 << 16 | c << 8 | 0xFFu);
    }
  }
  return b;
}

}  // namespace

int main() {
  using namespace kestrava;
  double total = 0;
  int frames = 0;
  for (int style = 1; style <= 150; ++style) {
    const TPixelFormat format = IsPixelArithmeticStyle(TTransitionStyle(style))
                                    ? TPixelFormat::pf32bit
                                    : TPixelFormat::pfDevice;
    const TBitmap old = Gradient(false, format), picture = Gradient(true, format);
    TBitmap frame;
    const double start = ProcessSeconds();
    int made = 0;
    for (int progress = 4; progress < 100; progress += 4, ++made)
      MakeTransitionFrame(TTransitionStyle(style), old, picture, 4, progress, frame);
    const double seconds = ProcessSeconds() - start;
    std::printf("style %3d: %.2f ms a frame\n", style, seconds * 1000 / made);
    total += seconds;
    frames += made;
  }
  std::printf("all styles: %.2f ms a frame (%d frames)\n", total * 1000 / frames, frames);
  return 0;
}
