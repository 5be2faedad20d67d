#include "app/widgets/PictureView.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include <QTest>

#include "app/widgets/GifView.h"
#include "imaging/BmpWriter.h"
#include "imaging/FileBytes.h"
#include "imaging/GifPicture.h"
#include "imaging/ImageErrors.h"
#include "imaging/Jpeg.h"
#include "tests/app/widgets/WidgetTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace kestrava {
namespace {

using test::GrabImage;
using test::QuadrantBitmap;
using test::ShowsQuadrants;
using test::TQuadrants;

constexpr int kGuardMs = 30000;

const std::string kGifSuite = std::string(KESTRAVA_SHARED_DIR) + "/corpus/gif/pygif-test-suite/";
// 2 x 2: red, green / blue, white.
const std::string kFourColors = kGifSuite + "four-colors.gif";
// 2 x 2, four frames of half a second: one white pixel going round, clockwise from top left.
const std::string kAnimation = kGifSuite + "animation.gif";

const TQuadrants kFourColorQuadrants{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 255),
                                     qRgb(0, 0, 255)};
const TQuadrants kPicture{qRgb(220, 30, 30), qRgb(30, 200, 40), qRgb(40, 40, 210),
                          qRgb(230, 220, 30)};

TQuadrants AnimationFrame(int index) {
  TQuadrants q{qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0)};
  QRgb* clockwise[] = {&q.TopLeft, &q.TopRight, &q.BottomRight, &q.BottomLeft};
  *clockwise[index] = qRgb(255, 255, 255);
  return q;
}

class PictureViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view.resize(160, 120);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  std::string WriteBmp() {
    const std::string path = (scratch / "picture.bmp").string();
    WriteBmpFile(path, QuadrantBitmap(2, 2, kPicture), 24);
    return path;
  }
  std::string WriteJpeg(const std::string& name) {
    const std::string path = (scratch / name).string();
    // Quadrants on 8-pixel block edges keep the colours close to what was encoded.
    WriteFileBytes(path, EncodeJpeg(QuadrantBitmap(32, 32, kPicture), false));
    return path;
  }
  std::string WriteBytes(const std::string& name, const std::string& bytes) {
    const std::string path = (scratch / name).string();
    WriteFileBytes(path, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    return path;
  }

  test::TScratchFolder scratch;
  TPictureView view;
};

TEST_F(PictureViewTest, ShowsEachKindStretchedOverTheView) {
  struct TCase {
    const char* Name;
    std::function<std::string()> Make;
    TQuadrants Expected;
    int Tolerance;
  };
  const TCase cases[] = {
      {"bmp", [&] { return WriteBmp(); }, kPicture, 0},
      {"jpg in capitals", [&] { return WriteJpeg("picture.JPG"); }, kPicture, 12},
      {"jpeg", [&] { return WriteJpeg("picture.jpeg"); }, kPicture, 12},
      {"gif of one frame", [] { return kFourColors; }, kFourColorQuadrants, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = c.Make();
    view.ShowFile(path);
    EXPECT_FALSE(view.IsEmpty());
    EXPECT_EQ(view.ShownFile(), QString::fromStdString(path));
    EXPECT_FALSE(view.Animation().isVisible());
    EXPECT_EQ(view.Image().size(), c.Tolerance ? QSize(32, 32) : QSize(2, 2));
    EXPECT_TRUE(ShowsQuadrants(GrabImage(view), c.Expected, c.Tolerance));
  }
}

TEST_F(PictureViewTest, FailureKeepsWhatWasShown) {
  const std::string shown = WriteBmp();
  view.ShowFile(shown);
  struct TCase {
    std::string Path;
    std::string Message;  // empty: any message of the reader
  };
  const TCase cases[] = {
      {(scratch / "picture.TIF").string(), "Unknown picture file extension (.TIF)"},
      {(scratch / "noextension").string(), "Unknown picture file extension (.)"},
      {WriteBytes("damaged.bmp", "BM this is no bitmap"), ""},
      {WriteBytes("damaged.gif", "GIF89a\x02"), ""},
      {WriteBytes("damaged.jpg", "\xff\xd8\xff not a jpeg"), ""},
      {(scratch / "missing.jpg").string(), ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path);
    try {
      view.ShowFile(c.Path);
      ADD_FAILURE() << "no error";
    } catch (const EImageError& error) {
      if (!c.Message.empty()) {
        EXPECT_EQ(std::string(error.what()), c.Message);
      }
    }
    EXPECT_EQ(view.ShownFile(), QString::fromStdString(shown));
    EXPECT_TRUE(ShowsQuadrants(GrabImage(view), kPicture));
  }
}

// What the file holds decides: an animation named as a JPEG still plays, a still picture named as
// a GIF is shown still.
TEST_F(PictureViewTest, ContentNotNameDecidesWhatPlays) {
  const std::filesystem::path misnamed = scratch / "animation.jpg";
  std::filesystem::copy_file(kAnimation, misnamed);
  view.ShowFile(misnamed.string());
  EXPECT_TRUE(view.Animation().isVisible());
  const std::filesystem::path still = scratch / "bitmap.gif";
  std::filesystem::copy_file(WriteBmp(), still);
  view.ShowFile(still.string());
  EXPECT_FALSE(view.Animation().isVisible());
  EXPECT_TRUE(ShowsQuadrants(GrabImage(view), kPicture));
}

TEST_F(PictureViewTest, AnimatedGifAdvancesItsFrames) {
  view.ShowFile(kAnimation);
  EXPECT_TRUE(view.Animation().isVisible());
  EXPECT_TRUE(view.Image().isNull());
  EXPECT_FALSE(view.IsEmpty());
  TGifView& animation = view.Animation();
  // Each frame as it comes; the frame on show is read between two drawing steps, both of which
  // run on this thread.
  for (int shown = 1; shown <= 3; ++shown) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return animation.FramesShown() >= shown; }, kGuardMs));
    const int index = (animation.FramesShown() - 1) % 4;
    SCOPED_TRACE("frame " + std::to_string(index));
    EXPECT_TRUE(ShowsQuadrants(GrabImage(view), AnimationFrame(index)));
  }
  // A failed load leaves the animation playing.
  EXPECT_THROW(view.ShowFile("picture.png"), EImageError);
  EXPECT_TRUE(animation.isVisible());
  EXPECT_FALSE(animation.IsEmpty());

  // A still picture ends the animation: its painter is stopped and waited for.
  view.ShowFile(kFourColors);
  EXPECT_FALSE(animation.isVisible());
  EXPECT_EQ(animation.Picture(), nullptr);
  EXPECT_TRUE(ShowsQuadrants(GrabImage(view), kFourColorQuadrants));
}

TEST_F(PictureViewTest, ClearEmptiesTheView) {
  for (const std::string& path : {kFourColors, kAnimation}) {
    view.ShowFile(path);
    ASSERT_FALSE(view.IsEmpty());
    view.Clear();
    EXPECT_TRUE(view.IsEmpty());
    EXPECT_TRUE(view.ShownFile().isEmpty());
    const QImage shown = GrabImage(view);
    EXPECT_TRUE(test::ColorNear(shown.pixel(40, 30), view.palette().window().color().rgb()));
  }
}

TEST(GifViewTest, KeepsThePictureWhenANewOneFails) {
  TGifView gif;
  gif.ShowGif(kFourColors);
  EXPECT_THROW(gif.ShowGif(std::string(KESTRAVA_SHARED_DIR) + "/no such file.gif"), EImageError);
  ASSERT_FALSE(gif.IsEmpty());
  EXPECT_EQ(gif.Picture()->Width(), 2);
}

// The painter thread waits for this thread to draw each frame: destroying or clearing the view
// while it plays must serve it, not wait for it forever.
TEST(GifViewTest, ClearingOrDestroyingWhilePlaying) {
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "destroy" : "clear");
    auto gif = std::make_unique<TGifView>();
    gif->resize(40, 40);
    gif->show();
    gif->ShowGif(kAnimation);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gif->FramesShown() >= 1; }, kGuardMs));
    if (destroy) {
      gif.reset();
      continue;
    }
    gif->Clear();
    EXPECT_TRUE(gif->IsEmpty());
    EXPECT_EQ(gif->FramesShown(), 0);
  }
}

// A clock whose waits end at once, so that the painter is always about to hand over its next
// frame; this thread can wait until it has slept a given number of times.
class RacingClock final : public IGifClock {
 public:
  int64_t Milliseconds() override { return 0; }
  void Sleep(int, TGifStopSignal&) override {
    {
      std::lock_guard lock(mutex_);
      ++sleeps_;
    }
    changed_.notify_all();
  }
  // Blocks this thread, serving no event, until the painter has slept count times. The painter
  // sleeps once after each frame drawn, so count may be the number of frames drawn so far.
  void WaitForSleeps(int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return sleeps_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int sleeps_ = 0;
};

// Clearing or destroying the view while the painter waits for a frame to be drawn: the GUI
// thread must draw it while it waits for the painter to end.
TEST(GifViewTest, ClearingOrDestroyingWhileThePainterWaits) {
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "destroy" : "clear");
    RacingClock clock;
    auto gif = std::make_unique<TGifView>();
    gif->resize(40, 40);
    gif->show();
    auto picture = std::make_unique<TGifPicture>();
    picture->LoadFromFile(kAnimation);
    picture->SetClock(&clock);
    gif->ShowGif(std::move(picture));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gif->FramesShown() >= 1; }, kGuardMs));
    // The painter then hands over its next frame and waits for it to be drawn.
    clock.WaitForSleeps(gif->FramesShown());
    if (destroy) {
      gif.reset();
    } else {
      gif->Clear();
      EXPECT_TRUE(gif->IsEmpty());
    }
  }
}

}  // namespace
}  // namespace kestrava
