#include "runtime/win32/LiveShow.h"

#include <windows.h>

#include <chrono>

#include "runtime/core/SlideShow.h"
#include "runtime/core/SlideStage.h"
#include "runtime/core/SlideTimelines.h"

namespace kestrava {

namespace {

// How long the loop waits for input before it serves the player's thread again; the player
// makes a frame every 40 ms.
constexpr DWORD kInputPollMs = 5;

}  // namespace

void ShowPictures(const TSaverFileReader& saver, TSaverWindow& window, TMciMusic& music, int width,
                  int height, uint32_t seed) {
  TSlideShow show(saver, width, height, seed);
  TSlideStage stage(show.Width(), show.Height());
  TLiveSlides slides(show, stage, GetTickCount64());
  int shown = -1;
  while (window.Pump(kInputPollMs)) {
    slides.Update(GetTickCount64());
    stage.Pump(std::chrono::milliseconds(0));
    // Each frame the player paints goes to the window as soon as it is made.
    if (stage.PaintCount() != shown) {
      window.Show(stage.Screen());
      shown = stage.PaintCount();
    }
    music.Poll();
  }
}

}  // namespace kestrava
