#include "runtime/win32/FrameDump.h"

#include <cstdio>
#include <filesystem>

#include "imaging/BmpWriter.h"
#include "runtime/core/FrameFile.h"
#include "runtime/core/SlideShow.h"
#include "runtime/core/SlideStage.h"
#include "runtime/core/SlideTimelines.h"
#include "runtime/win32/MciMusic.h"

namespace kestrava {

void DumpFrames(const TSaverFileReader& saver, const TRuntimeOptions& options) {
  TSlideShow show(saver, options.Width, options.Height, options.Seed.value_or(1), kMaxDumpSide);
  TSlideStage stage(show.Width(), show.Height());
  TFixedClockSlides slides(show, stage);
  // The music plays as it would on screen, where a sound device is there.
  TMciMusic music(MusicOf(saver));
  MakeFrameFolder(options.DumpDir);
  for (int tick = 0; tick < options.Frames; ++tick) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05d.bmp", tick);
    WriteFrameFile(std::filesystem::u8path(options.DumpDir) / name,
                   EncodeBmp(slides.FrameAt(tick), 24));
    music.Poll();
  }
}

}  // namespace kestrava
