// The slide show through the transition player: the frames it shows are the engine's frames of
// the chosen style, on the fixed clock of the dump and on the player's own clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/Jpeg.h"
#include "raster/Canvas.h"
#include "runtime/core/SlideShow.h"
#include "runtime/core/SlideStage.h"
#include "runtime/core/SlideTimelines.h"
#include "saver/BuildCommand.h"
#include "saver/SaverFileReader.h"
#include "tests/support/ScratchFolder.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

class TSilentFeedback : public IBuildFeedback {
 public:
  void BusyCursor(bool) override {}
  void ShowBuildPage() override {}
  void StopMusicPreview() override {}
  void ShowMessage(std::string_view, TMessageKind) override {}
};

// Three flat pictures of clearly different colours, built into a saver for a 64 x 48 screen.
class SlideTimelines : public ::testing::Test {
 protected:
  fs::path Build(std::vector<int> styles, int interval) {
    TBuildRequest request;
    const TColor colours[] = {RGBColor(200, 30, 30), RGBColor(30, 200, 30), RGBColor(30, 30, 200)};
    for (int i = 0; i < 3; ++i) {
      TBitmap picture(64, 48);
      picture.Canvas().Brush.Color = colours[i];
      picture.Canvas().FillRect({0, 0, 64, 48});
      // A mark that makes every picture lopsided, so a mirrored or shifted frame shows.
      picture.Canvas().Brush.Color = RGBColor(255, 255, 255);
      picture.Canvas().FillRect({4 + 8 * i, 4, 20 + 8 * i, 12});
      request.Sources.push_back((folder_ / ("p" + std::to_string(i) + ".jpg")).string());
      WriteFileBytes(request.Sources.back(), EncodeJpeg(picture, false));
    }
    request.TickedStyles = std::move(styles);
    request.IntervalSeconds = interval;
    request.Screen = {64, 48};
    request.OutputDir = folder_.Path().string() + "/";
    request.OutputName = "show";
    const uint8_t runtime[] = {'#', '!'};
    const TResource resources[] = {{"exefile", "head", runtime}};
    request.Resources = resources;
    TSilentFeedback quiet;
    EXPECT_TRUE(RunBuild(request, quiet).Built);
    return folder_ / "show.scr";
  }

  // The stored pictures as the show fits them, in order.
  static std::vector<TBitmap> Pictures(const TSaverFileReader& saver) {
    std::vector<TBitmap> pictures;
    for (const TSaverBlock& block : saver.Blocks())
      if (block.Kind == TBlockKind::Picture) {
        TBitmap picture = DecodeJpeg(saver.ReadBlock(block)).Bitmap;
        picture.SetPixelFormat(TPixelFormat::pfDevice);
        pictures.push_back(std::move(picture));
      }
    return pictures;
  }

  test::TScratchFolder folder_;
};

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if ((a.PixelAt(x, y) & 0xFFFFFF) != (b.PixelAt(x, y) & 0xFFFFFF)) return false;
  return true;
}

TBitmap EngineFrame(int style, const TBitmap& from, const TBitmap& to, int progress) {
  TBitmap frame;
  MakeTransitionFrame(TTransitionStyle(style), from, to, 4, progress, frame);
  frame.SetPixelFormat(TPixelFormat::pfDevice);
  return frame;
}

TEST_F(SlideTimelines, TheDumpClockShowsTheEnginesFramesTickByTick) {
  // One style per case: a region reveal, a push (copies within the frame) and the fade, which
  // needs 32-bit pixels.
  for (int style : {52, 86, 118}) {
    SCOPED_TRACE(style);
    const TSaverFileReader saver(Build({style}, 1));
    const std::vector<TBitmap> pictures = Pictures(saver);
    TSlideShow show(saver, 0, 0, 7);
    TSlideStage stage(show.Width(), show.Height());
    TFixedClockSlides slides(show, stage);
    // One second is 25 ticks of holding, then 25 of transition; twice round and into the third.
    for (int64_t tick = 0; tick < 110; ++tick) {
      const int64_t slide = tick / 50, within = tick % 50;
      const TBitmap& from = pictures[size_t(slide % 3)];
      const TBitmap& to = pictures[size_t((slide + 1) % 3)];
      const TBitmap expected =
          within < 25 ? from : EngineFrame(style, from, to, int(within - 24) * 4);
      ASSERT_TRUE(SamePixels(slides.FrameAt(tick), expected)) << "tick " << tick;
    }
  }
}

TEST_F(SlideTimelines, WithoutAFlaggedStyleThePicturesCut) {
  // The builder refuses to build without an effect; a file that flags none is made by hand.
  const fs::path file = Build({52}, 0);  // an interval of 0 counts as 1 second
  {
    TSaverTrailer trailer = TSaverFileReader(file).Trailer();
    trailer.EffectFlags = {};
    std::vector<uint8_t> bytes = ReadFileBytes(file);
    const auto laidOut = LayOutTrailer(trailer);
    std::copy(laidOut.begin(), laidOut.end(), bytes.end() - kTrailerSize);
    WriteFileBytes(file, bytes);
  }
  const TSaverFileReader saver(file);
  const std::vector<TBitmap> pictures = Pictures(saver);
  TSlideShow show(saver, 0, 0, 7);
  TSlideStage stage(show.Width(), show.Height());
  TFixedClockSlides slides(show, stage);
  for (int64_t tick = 0; tick < 80; ++tick)
    ASSERT_TRUE(SamePixels(slides.FrameAt(tick), pictures[size_t(tick / 25 % 3)])) << tick;
}

TEST_F(SlideTimelines, OnScreenThePlayersThreadRunsEachTransitionToTheNextPicture) {
  const TSaverFileReader saver(Build({52, 86}, 2));
  const std::vector<TBitmap> pictures = Pictures(saver);
  TSlideShow show(saver, 0, 0, 3);
  TSlideStage stage(show.Width(), show.Height());
  // Frames as fast as they come: the test waits for the player's thread, not for a clock.
  stage.SetDelay(0);
  TLiveSlides slides(show, stage, /*nowMs=*/0);
  EXPECT_TRUE(SamePixels(stage.Screen(), pictures[0]));

  // Within the interval nothing moves.
  slides.Update(1999);
  stage.Pump(std::chrono::milliseconds(0));
  EXPECT_FALSE(stage.Busy());
  for (int passage = 1; passage <= 3; ++passage) {
    SCOPED_TRACE(passage);
    const int paintsBefore = stage.PaintCount();
    const uint64_t due = uint64_t(passage) * 2000 + 1000;  // far past the interval
    slides.Update(due);
    ASSERT_TRUE(stage.Busy());
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (stage.Busy() && std::chrono::steady_clock::now() < guard)
      stage.Pump(std::chrono::milliseconds(50));
    ASSERT_FALSE(stage.Busy());
    // 25 frames of Step 4, each painted once.
    EXPECT_EQ(stage.PaintCount() - paintsBefore, 25);
    EXPECT_TRUE(SamePixels(stage.Screen(), pictures[size_t(passage % 3)]));
    slides.Update(due);  // takes note of the end; the next interval starts now
    slides.Update(due + 1999);
    EXPECT_FALSE(stage.Busy());
  }
}

// On screen the frames go straight to the window's pixels: the presenter sees every painted area
// and the same pixels the kept screen would, nothing while a picture is held, and all of it again
// when the window asks.
TEST_F(SlideTimelines, APresenterTakesTheFramesAndNothingWhileAPictureIsHeld) {
  const TSaverFileReader saver(Build({52}, 2));
  const std::vector<TBitmap> pictures = Pictures(saver);
  TSlideShow show(saver, 0, 0, 3);
  TSlideStage stage(show.Width(), show.Height());
  stage.SetDelay(0);
  TBitmap window(show.Width(), show.Height());
  std::vector<TRect> areas;
  stage.PresentTo([&](const TBitmap& frame, const TRect& area) {
    window.Canvas().CopyRect(area, frame.Canvas(), area);
    areas.push_back(area);
  });
  TLiveSlides slides(show, stage, 0);
  stage.Pump(std::chrono::milliseconds(0));
  EXPECT_TRUE(SamePixels(window, pictures[0]));
  EXPECT_TRUE(stage.Screen().Empty());

  areas.clear();
  slides.Update(1999);
  for (int i = 0; i < 3; ++i)
    stage.Pump(std::chrono::milliseconds(1));
  EXPECT_TRUE(areas.empty());

  slides.Update(3000);
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (stage.Busy() && std::chrono::steady_clock::now() < guard)
    stage.Pump(std::chrono::milliseconds(50));
  ASSERT_FALSE(stage.Busy());
  EXPECT_EQ(areas.size(), 25u);
  EXPECT_TRUE(SamePixels(window, pictures[1]));

  areas.clear();
  window.Canvas().Brush.Color = RGBColor(0, 0, 0);
  window.Canvas().FillRect({0, 0, window.Width(), window.Height()});
  stage.Repaint();
  stage.Pump(std::chrono::milliseconds(0));
  ASSERT_EQ(areas.size(), 1u);
  EXPECT_EQ(areas[0], (TRect{0, 0, show.Width(), show.Height()}));
  EXPECT_TRUE(SamePixels(window, pictures[1]));
}

TEST_F(SlideTimelines, AStageDestroyedMidTransitionStopsItsThread) {
  const TSaverFileReader saver(Build({52}, 1));
  TSlideShow show(saver, 0, 0, 3);
  auto stage = std::make_unique<TSlideStage>(show.Width(), show.Height());
  TLiveSlides slides(show, *stage, 0);
  slides.Update(1000);
  ASSERT_TRUE(stage->Busy());
  stage->Pump(std::chrono::milliseconds(0));
  stage.reset();  // must neither hang nor leave the thread drawing into freed memory
}

}  // namespace
}  // namespace kestrava
