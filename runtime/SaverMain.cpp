// kestrava-saver: the program at the head of every saver file. It finds its payload at the end of
// its own file and shows it until the wake-up action.

#include <malloc.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <SDL.h>

#include "imaging/ImageErrors.h"
#include "imaging/Png.h"
#include "movie/MovieInfo.h"
#include "movie/sound/MovieSound.h"
#include "runtime/SdlMusic.h"
#include "runtime/SdlScreen.h"
#include "runtime/core/FrameFile.h"
#include "runtime/core/MovieSequence.h"
#include "runtime/core/RuntimeOptions.h"
#include "runtime/core/SlideShow.h"
#include "runtime/core/SlideStage.h"
#include "runtime/core/SlideTimelines.h"
#include "saver/SaverFileReader.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

// A damaged or missing payload: a message of one line and this status.
constexpr int kBadPayload = 2;

// One line on stderr, and the status that says why.
int Refused(const std::exception& e, int status) {
  std::fprintf(stderr, "kestrava-saver: %s\n", e.what());
  return status;
}

fs::path OwnFile() {
  return fs::read_symlink("/proc/self/exe");
}

// The size of a Flash saver's dump without --size: the first movie's own frame.
std::pair<int, int> FirstMovieSize(const TSaverFileReader& saver) {
  for (const TSaverBlock& block : saver.Blocks()) {
    if (block.Kind != TBlockKind::Movie) continue;
    TSaverBlock head = block;
    head.Size = std::min<int64_t>(head.Size, 4096);
    try {
      const TMovieInfo info = ReadMovieInfo(saver.ReadBlock(head));
      if (info.WidthPixels() > 0 && info.HeightPixels() > 0)
        return {std::min(info.WidthPixels(), kMaxDumpSide),
                std::min(info.HeightPixels(), kMaxDumpSide)};
    } catch (const EMovieInfoError&) {
    }
    break;
  }
  return {640, 480};
}

// Frames by the fixed clock of the dump mode, for either kind.
class TDumpFrames {
 public:
  TDumpFrames(const TSaverFileReader& saver, int width, int height, uint32_t seed) {
    if (saver.Trailer().Kind == TSaverKind::Flash) {
      if (width <= 0 || height <= 0) std::tie(width, height) = FirstMovieSize(saver);
      movies_.emplace(saver, width, height);
    } else {
      show_.emplace(saver, width, height, seed, kMaxDumpSide);
      stage_.emplace(show_->Width(), show_->Height());
      slides_.emplace(*show_, *stage_);
    }
  }
  const TBitmap& At(int64_t tick) {
    if (slides_) return slides_->FrameAt(tick);
    movies_->Update(uint64_t(tick) * kTickMilliseconds);
    return movies_->Frame();
  }

 private:
  std::optional<TSlideShow> show_;
  std::optional<TSlideStage> stage_;
  std::optional<TFixedClockSlides> slides_;
  std::optional<TMovieSequence> movies_;
};

int Dump(const TSaverFileReader& saver, const TRuntimeOptions& options) {
  TDumpFrames frames(saver, options.Width, options.Height, options.Seed.value_or(1));
  // The music plays as it would on screen, on whatever audio device SDL finds (none needed).
  std::optional<TSdlMusic> music;
  if (SDL_Init(SDL_INIT_AUDIO) == 0) music.emplace(MusicOf(saver));
  // A file size limit then fails the write with a reason instead of killing the process.
  std::signal(SIGXFSZ, SIG_IGN);
  MakeFrameFolder(options.DumpDir);
  for (int tick = 0; tick < options.Frames; ++tick) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05d.png", tick);
    WriteFrameFile(fs::path(options.DumpDir) / name, EncodePng(frames.At(tick)));
    if (music) music->Poll();
  }
  music.reset();
  SDL_Quit();
  return 0;
}

// How long the screen loop waits for the player's next frame before it looks at the user's
// input again, and how long it sleeps while a picture is simply on show.
constexpr std::chrono::milliseconds kInputPoll{5};
constexpr std::chrono::milliseconds kHeldPoll{20};

void ShowPictures(const TSaverFileReader& saver, TSdlScreen& screen, TSdlMusic& music,
                  uint32_t seed, int quitMode) {
  TSlideShow show(saver, screen.Width(), screen.Height(), seed);
  TSlideStage stage(show.Width(), show.Height());
  // The player paints each frame straight from its back buffer into the window's pixels.
  stage.PresentTo(
      [&screen](const TBitmap& frame, const TRect& area) { screen.Paint(frame, area); });
  stage.Repaint();
  TLiveSlides slides(show, stage, SDL_GetTicks64());
  while (!screen.ShouldQuit(quitMode)) {
    if (screen.TakeRepaint()) stage.Repaint();
    slides.Update(SDL_GetTicks64());
    stage.Pump(stage.Busy() ? kInputPoll : kHeldPoll);
    // What was painted goes to the screen; while a picture is held nothing is.
    screen.Flush();
    music.Poll();
  }
}

void ShowMovies(const TSaverFileReader& saver, TSdlScreen& screen, TSdlMusic& music, int quitMode) {
  TMovieSequence movies(saver, screen.Width(), screen.Height());
  std::optional<TMovieSound> sound;
  uint64_t soundSerial = 0;
  while (!screen.ShouldQuit(quitMode)) {
    const bool changed = movies.Update(SDL_GetTicks64());
    // Each movie's sound starts with the movie.
    if (movies.Serial() != soundSerial) {
      soundSerial = movies.Serial();
      sound.reset();
      if (movies.Player()) sound.emplace(movies.Player()->SharedMovie());
    }
    if (sound) sound->Handle(movies.TakeSoundEvents());
    if (changed) screen.Show(movies.Frame());
    music.Poll();
    SDL_Delay(uint32_t(kInputPoll.count()));
  }
}

int Show(const TSaverFileReader& saver, const TRuntimeOptions& options) {
  TSdlScreen screen(options.Mode == TRunMode::InWindow, options.WindowId, options.RootWindow);
  const int quitMode = saver.Trailer().QuitMode;
  TSdlMusic music(MusicOf(saver));
  if (saver.Trailer().Kind == TSaverKind::Flash)
    ShowMovies(saver, screen, music, quitMode);
  else
    ShowPictures(saver, screen, music, options.Seed.value_or(uint32_t(std::time(nullptr))),
                 quitMode);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  const TRuntimeOptions options = ParseRuntimeOptions(args, std::getenv("XSCREENSAVER_WINDOW"));
  switch (options.Mode) {
    case TRunMode::Help:
      std::fputs(kRuntimeUsage, stdout);
      return 0;
    case TRunMode::Configure:
    case TRunMode::Preview:
      return 0;
    default:
      break;
  }
  std::optional<TSaverFileReader> saver;
  try {
    saver.emplace(options.Payload ? fs::path(*options.Payload) : OwnFile());
  } catch (const std::exception& e) {
    return Refused(e, kBadPayload);
  }
  try {
    return options.Mode == TRunMode::Dump ? Dump(*saver, options) : Show(*saver, options);
  } catch (const ESaverFileError& e) {
    return Refused(e, kBadPayload);
  } catch (const EImageError& e) {
    // A stored picture that does not decode: the file is damaged.
    return Refused(e, kBadPayload);
  } catch (const EFrameWriteError& e) {
    return Refused(e, kDumpWriteFailed);
  }
}

// Each transition makes and drops frame-sized bitmaps (8 MB at 1920 x 1080). Kept in the heap
// they are reused; mapped afresh every time, the kernel zeroes and faults in every page, which
// cost more than drawing the frames. The limits are glibc's largest.
void KeepFramesInTheHeap() {
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
}

}  // namespace
}  // namespace kestrava

int main(int argc, char** argv) {
  kestrava::KeepFramesInTheHeap();
  try {
    return kestrava::Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const kestrava::ERuntimeUsage& e) {
    std::fprintf(stderr, "%s\n%s", e.what(), kestrava::kRuntimeUsage);
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-saver: %s\n", e.what());
    return 1;
  }
}
