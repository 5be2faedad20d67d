// The saver runtime's frames during transitions at 1920 x 1080, made as fast as they can be (the
// player's Delay 0): frames per second the runtime sustains before the upload to the window.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "bench/PhotoLike.h"
#include "bench/QuietFeedback.h"
#include "imaging/FileBytes.h"
#include "imaging/Jpeg.h"
#include "runtime/core/SlideShow.h"
#include "runtime/core/SlideStage.h"
#include "runtime/core/SlideTimelines.h"
#include "saver/BuildCommand.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

// A saver of two photographs for a 1920 x 1080 screen, with one style flagged.
struct TSaver {
  fs::path Dir = fs::temp_directory_path() / ("kestrava-runtime-bench-" + std::to_string(getpid()));
  fs::path File = Dir / "show.scr";

  explicit TSaver(int style) {
    fs::create_directories(Dir);
    const uint8_t runtime[] = {'#', '!'};
    const TResource resources[] = {{"exefile", "head", runtime}};
    TBuildRequest request;
    for (int i = 0; i < 2; ++i) {
      request.Sources.push_back((Dir / ("photo-" + std::to_string(i) + ".jpg")).string());
      WriteFileBytes(request.Sources.back(),
                     EncodeJpeg(PhotoLike(1920, 1080, unsigned(i + 3)), false));
    }
    request.TickedStyles = {style};
    request.Screen = {1920, 1080};
    request.OutputDir = Dir.string() + "/";
    request.OutputName = "show";
    request.Resources = resources;
    TQuietFeedback quiet;
    RunBuild(request, quiet);
  }
  ~TSaver() {
    std::error_code ignored;
    fs::remove_all(Dir, ignored);
  }
};

// Frames driven one by one through the player, as the frame dump does.
void BM_RuntimeTransitionFrames(benchmark::State& state) {
  const TSaver saver(int(state.range(0)));
  const TSaverFileReader reader(saver.File);
  std::optional<TSlideShow> show;
  std::optional<TSlideStage> stage;
  std::optional<TFixedClockSlides> slides;
  const auto fresh = [&] {
    slides.reset();
    stage.reset();
    show.reset();
    show.emplace(reader, 0, 0, 1);
    stage.emplace(show->Width(), show->Height());
    slides.emplace(*show, *stage);
  };
  fresh();
  // Interval 8 s: ticks 200 to 224 are the first transition; then a fresh show, untimed.
  int64_t tick = 200;
  for (auto _ : state) {
    benchmark::DoNotOptimize(slides->FrameAt(tick).ScanLine(0));
    if (++tick == 225) {
      state.PauseTiming();
      fresh();
      tick = 200;
      state.ResumeTiming();
    }
  }
  state.counters["fps"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RuntimeTransitionFrames)->Arg(52)->Arg(86)->Arg(118)->Unit(benchmark::kMillisecond);

// Whole transitions as the saver runs them on screen: the player's own thread with Delay 0,
// every frame painted through the host on this thread. One iteration is one transition of 25
// frames.
void BM_RuntimeThreadedTransition(benchmark::State& state) {
  const TSaver saver(int(state.range(0)));
  const TSaverFileReader reader(saver.File);
  TSlideShow show(reader, 0, 0, 1);
  TSlideStage stage(show.Width(), show.Height());
  stage.SetDelay(0);
  stage.Cut(show.Current());
  int frames = 0;
  for (auto _ : state) {
    const int before = stage.PaintCount();
    stage.Begin(int(state.range(0)), show.Next(), /*manual=*/false);
    while (stage.Busy()) stage.Pump(std::chrono::milliseconds(50));
    frames += stage.PaintCount() - before;
  }
  state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RuntimeThreadedTransition)
    ->Arg(52)
    ->Arg(86)
    ->Arg(118)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace kestrava
