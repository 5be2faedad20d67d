// A whole 20-picture build, as the Build button runs it, on every core against one thread.
// Goal: the build on this machine's cores in at most 0.6 times the one-thread build's time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench/PhotoLike.h"
#include "bench/QuietFeedback.h"
#include "imaging/FileBytes.h"
#include "imaging/Jpeg.h"
#include "saver/BuildCommand.h"
#include "saver/embedded/EmbeddedRuntime.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

constexpr int kPictures = 20;

// Twenty different 4000 x 3000 photographs on disk for the whole run.
struct TAlbum {
  fs::path Dir = fs::temp_directory_path() / ("kestrava-build-bench-" + std::to_string(getpid()));
  std::vector<std::string> Files;

  TAlbum() {
    fs::create_directories(Dir);
    for (int i = 0; i < kPictures; ++i) {
      Files.push_back((Dir / ("photo-" + std::to_string(i) + ".jpg")).string());
      WriteFileBytes(Files.back(), EncodeJpeg(PhotoLike(4000, 3000, unsigned(i + 1)), false));
    }
  }
  ~TAlbum() {
    std::error_code ignored;
    fs::remove_all(Dir, ignored);
  }
};

void BM_BuildTwentyPictures(benchmark::State& state) {
  static const TAlbum album;
  TBuildRequest request;
  request.Sources = album.Files;
  request.TickedStyles = {1, 52, 118};
  request.Screen = {1920, 1080};
  request.OutputDir = album.Dir.string() + "/";
  request.OutputName = "album";
  request.Resources = ProgramResources();
  request.Threads = state.range(0) == 0 ? BuildThreads() : unsigned(state.range(0));
  TQuietFeedback feedback;
  for (auto _ : state) {
    if (!RunBuild(request, feedback).Built) state.SkipWithError("the build failed");
  }
  state.SetLabel(std::to_string(request.Threads) + " thread(s)");
}
// 0 stands for one thread per core.
BENCHMARK(BM_BuildTwentyPictures)
    ->Arg(1)
    ->Arg(0)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrava
