// Flash movies at 1920 x 1080: one frame advanced and drawn, as the saver does at each frame of a
// movie. Movies from the shared corpus; a movie that is not there is skipped.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "movie/play/MoviePlayer.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

const fs::path kVisual = fs::path(KESTRAVA_BENCH_SHARED_DIR) / "corpus" / "swf" / "ruffle" / "visual";

void BM_MovieFrame1080(benchmark::State& state, const std::string& name) {
  const fs::path file = kVisual / name / "test.swf";
  if (!fs::exists(file)) {
    state.SkipWithError("no shared corpus");
    return;
  }
  const auto player = TMoviePlayer::LoadFile(file);
  TBitmap frame(1920, 1080);
  for (auto _ : state) {
    player->Advance();
    player->Render(frame);
    benchmark::DoNotOptimize(frame.ScanLine(0));
  }
  // At 25 frames per second a movie takes 25 times this per second: 4 ms a frame is 10 % of a core.
}

BENCHMARK_CAPTURE(BM_MovieFrame1080, gradients, std::string("simple_shapes/gradients/gradients"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MovieFrame1080, layers, std::string("simple_shapes/layers"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MovieFrame1080, strokes, std::string("simple_shapes/strokes/scale"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MovieFrame1080, masks, std::string("simple_shapes/masks"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MovieFrame1080, heavy_tesselation,
                  std::string("simple_shapes/heavy_tesselation"))
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrava
