// The frame time of every style at 1920 x 1080, Step 4, Progress 50, made as the player makes it,
// and one whole transition through the player's loop. Each frame figure is also given as a ratio
// to a plain memcpy of the frame measured in the same run (the "vs_memcpy" counter).
// bench/effect-figures.py runs it with repetitions and sums it up.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "bench/FrameGradient.h"
#include "raster/Bitmap.h"
#include "transitions/HeadlessPlayerHost.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava {
namespace {

// The best time of one memcpy of a frame, measured once per run: the machine's memory is shared,
// and the best of many runs is what the machine itself can do.
double MemcpyFrameSeconds() {
  static const double seconds = [] {
    const TBitmap source = FrameGradient(false, TPixelFormat::pfDevice);
    TBitmap dest(kFrameWidth, kFrameHeight);
    std::vector<double> times;
    for (int i = 0; i < 41; ++i) {
      const auto start = std::chrono::steady_clock::now();
      std::memcpy(dest.ScanLine(0), source.ScanLine(0), dest.Stride() * kFrameHeight);
      benchmark::ClobberMemory();
      times.push_back(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return *std::min_element(times.begin(), times.end());
  }();
  return seconds;
}

void BM_EffectFrame(benchmark::State& state) {
  const auto style = TTransitionStyle(state.range(0));
  // Styles 118 to 122 get 32-bit pictures from the player; so do they here.
  const TPixelFormat format =
      style >= 118 && style <= 122 ? TPixelFormat::pf32bit : TPixelFormat::pfDevice;
  const TBitmap old = FrameGradient(false, format), picture = FrameGradient(true, format);
  TBitmap frame;
  MakeTransitionFrame(style, old, picture, 4, 50, frame);
  const double memcpySeconds = MemcpyFrameSeconds();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    MakeTransitionFrame(style, old, picture, 4, 50, frame);
    benchmark::ClobberMemory();
  }
  const double perFrame =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
      double(state.iterations());
  state.counters["vs_memcpy"] = perFrame / memcpySeconds;
  state.SetLabel(std::string(StyleNameOf(style)));
}
// Run with --benchmark_repetitions=N: "min" gives each style's best run beside mean and median.
BENCHMARK(BM_EffectFrame)
    ->DenseRange(1, kMaxTransitionStyle)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", [](const std::vector<double>& v) {
      return *std::min_element(v.begin(), v.end());
    });

// A whole 25-frame transition (Step 4) through the player's own loop, with no delay between
// frames: frame making, painting into the back buffer and presenting included.
void BM_WholeTransitionLoop(benchmark::State& state) {
  const TBitmap picture = FrameGradient(true, TPixelFormat::pfDevice);
  THeadlessPlayerHost host(kFrameWidth, kFrameHeight);
  TTransitionPlayer player(host);
  player.SetThreaded(false);
  player.SetDelay(0);
  player.SetStyle(TTransitionStyle(state.range(0)));
  player.SetPicture(&picture);
  for (auto _ : state) {
    player.Execute();
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::string(StyleNameOf(TTransitionStyle(state.range(0)))));
}
BENCHMARK(BM_WholeTransitionLoop)->Arg(52)->Arg(118)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrava
