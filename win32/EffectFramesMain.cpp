// kestrava-frames: the processor time of a transition frame at 1920 x 1080, for every style, as
// the transition player makes its frames (step 4, progress 4 to 96). Prints one line per style
// and the mean over all of them: the figure a Windows PC (or Wine) gives for the same engine that
// bench/EffectBench measures on Linux.
#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

#include <cstdint>
#include <cstdio>

#include "bench/FrameGradient.h"
#include "raster/Bitmap.h"
#include "transitions/TransitionPlayer.h"

namespace {

// Built for Linux too (by hand), for the same figure there.
double ProcessSeconds() {
#ifndef _WIN32
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
#else
  FILETIME created, ended, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto ticks = [](const FILETIME& t) {
    return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
  };
  return ticks(kernel) + ticks(user);
#endif
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
    const TBitmap old = FrameGradient(false, format), picture = FrameGradient(true, format);
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
