#include "runtime/core/SlideStage.h"

#include "raster/Color.h"

namespace kestrava {

TSlideStage::TSlideStage(int width, int height) : host_(width, height), player_(host_) {
  // Pictures arrive at the window's size; where one does not cover it, black shows.
  player_.SetAutoSize(false);
  player_.SetColor(RGBColor(0, 0, 0));
  host_.CreateWindowIfNeeded();
  host_.ProcessMessages();
}

TSlideStage::~TSlideStage() {
  // The player's thread may be waiting for this thread to paint: stop it while serving.
  player_.Stop();
}

void TSlideStage::Cut(const TBitmap& picture) {
  player_.Stop();
  // A transition straight to its end: at 100 every style shows the whole new picture.
  player_.SetManual(true);
  player_.SetPicture(&picture);
  player_.Execute();
  player_.SetProgress(100);
  player_.Stop();
  host_.ProcessMessages();
}

void TSlideStage::Begin(int style, const TBitmap& picture, bool manual) {
  player_.Stop();
  player_.SetManual(manual);
  player_.SetStyle(TTransitionStyle(style));
  player_.SetPicture(&picture);
  player_.Execute();
}

void TSlideStage::SetProgress(int progress) {
  player_.SetProgress(progress);
  host_.ProcessMessages();
}

void TSlideStage::Finish() {
  player_.Stop();
  host_.ProcessMessages();
}

void TSlideStage::Pump(std::chrono::milliseconds wait) {
  host_.ProcessMessages();
  host_.WaitMessage(wait);
  host_.ProcessMessages();
}

}  // namespace kestrava
