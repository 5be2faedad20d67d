#include "app/widgets/TransitionPlayerWidget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include <QSignalSpy>
#include <QTest>

#include "tests/app/widgets/WidgetTestSupport.h"

namespace kestrava {
namespace {

using test::GrabImage;
using test::QuadrantBitmap;
using test::ShowsQuadrants;
using test::TQuadrants;

// A guard against a hang, not a pace: the waits end as soon as their condition holds.
constexpr int kGuardMs = 30000;

const TQuadrants kFirst{qRgb(200, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 220), qRgb(240, 200, 0)};
const TQuadrants kSecond{qRgb(10, 10, 10), qRgb(90, 90, 90), qRgb(150, 0, 150), qRgb(0, 150, 150)};

// A preview as the effects page makes one: a picture of the widget's size, stretched.
class PreviewPlayer {
 public:
  explicit PreviewPlayer(bool show = true) {
    widget.resize(160, 120);
    if (show) {
      widget.show();
      exposed = QTest::qWaitForWindowExposed(&widget);
    }
    TTransitionPlayer& player = widget.Player();
    player.OnStart = [this](TCustomTransitionPlayer&, TBitmap&, TBitmap&) { ++starts; };
    player.OnProgress = [this](TCustomTransitionPlayer&) { ++frames; };
    player.OnComplete = [this](TCustomTransitionPlayer&) { ++completes; };
    player.SetStretch(true);
  }
  void Run(const TQuadrants& colors, TTransitionStyle style) {
    const TBitmap picture = QuadrantBitmap(160, 120, colors);
    widget.Player().SetPicture(&picture);
    widget.Player().SetStyle(style);
    widget.Player().Execute();
  }
  bool WaitUntilDone() {
    return QTest::qWaitFor([this] { return !widget.Player().Busy(); }, kGuardMs);
  }

  TTransitionPlayerWidget widget;
  bool exposed = false;
  std::atomic<int> starts{0};
  std::atomic<int> frames{0};  // counted on the animation thread
  std::atomic<int> completes{0};
};

class PlayerWidgetRunTest : public ::testing::TestWithParam<int> {};

TEST_P(PlayerWidgetRunTest, PreviewRunsToTheEndAndShowsThePicture) {
  PreviewPlayer preview;
  ASSERT_TRUE(preview.exposed);
  QSignalSpy done(&preview.widget, &TTransitionPlayerWidget::TransitionDone);
  preview.Run(kFirst, TTransitionStyle(GetParam()));
  EXPECT_TRUE(preview.widget.Player().Busy()) << "threaded: Execute returns at once";
  ASSERT_TRUE(done.wait(kGuardMs));
  EXPECT_FALSE(preview.widget.Player().Busy());
  EXPECT_EQ(preview.widget.Player().Progress(), 100);
  // Step 4: 25 frames.
  EXPECT_EQ(preview.frames, 25);
  EXPECT_EQ(preview.completes, 1);
  EXPECT_EQ(done.count(), 1);
  EXPECT_TRUE(ShowsQuadrants(GrabImage(preview.widget), kFirst));
}

// Reveals of several families, and a style drawn with pixel arithmetic on 32-bit rows.
INSTANTIATE_TEST_SUITE_P(Styles, PlayerWidgetRunTest, ::testing::Values(1, 8, 52, 88, 118));

TEST(PlayerWidgetTest, ExecuteWhileRunningIsIgnored) {
  PreviewPlayer preview;
  QSignalSpy done(&preview.widget, &TTransitionPlayerWidget::TransitionDone);
  preview.Run(kFirst, 1);
  ASSERT_TRUE(preview.widget.Player().Busy());
  // The effects page sets a new picture and style, then executes again.
  preview.Run(kSecond, 52);
  ASSERT_TRUE(preview.WaitUntilDone());
  QTest::qWait(0);  // let a stray second run start, should there be one
  EXPECT_FALSE(preview.widget.Player().Busy());
  EXPECT_EQ(preview.starts, 1);
  EXPECT_EQ(done.count(), 1);
  // The running transition ends on the picture it started with.
  EXPECT_TRUE(ShowsQuadrants(GrabImage(preview.widget), kFirst));
  // The next Execute runs the picture that was set meanwhile.
  preview.widget.Player().Execute();
  ASSERT_TRUE(preview.WaitUntilDone());
  EXPECT_TRUE(ShowsQuadrants(GrabImage(preview.widget), kSecond));
}

TEST(PlayerWidgetTest, StopEndsTheRunWithItsSignal) {
  PreviewPlayer preview;
  QSignalSpy done(&preview.widget, &TTransitionPlayerWidget::TransitionDone);
  preview.Run(kFirst, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return preview.widget.Player().Progress() >= 20; }, kGuardMs));
  preview.widget.Player().Stop();
  EXPECT_FALSE(preview.widget.Player().Busy());
  EXPECT_LT(preview.widget.Player().Progress(), 100);
  EXPECT_EQ(done.count(), 1);
  EXPECT_EQ(preview.completes, 0) << "a stopped transition is not complete";
}

TEST(PlayerWidgetTest, ManualProgressPaintsAMixedFrame) {
  PreviewPlayer preview;
  ASSERT_TRUE(preview.exposed);
  preview.widget.Player().SetManual(true);
  preview.Run(kFirst, 1);
  ASSERT_TRUE(preview.widget.Player().Busy());
  preview.widget.Player().SetProgress(50);
  // What the widget shows now: some of the old screen (the white background), some picture.
  const QImage shown = GrabImage(preview.widget);
  int old = 0, fresh = 0;
  for (int y = 0; y < shown.height(); y += 4)
    for (int x = 0; x < shown.width(); x += 4) {
      const QRgb c = shown.pixel(x, y) & 0xffffff;
      old += c == 0xffffff;
      fresh += c == (kFirst.TopLeft & 0xffffff) || c == (kFirst.BottomRight & 0xffffff);
    }
  EXPECT_GT(old, 0);
  EXPECT_GT(fresh, 0);
  preview.widget.Player().Stop();
}

TEST(PlayerWidgetTest, HiddenWidgetStillRunsToTheEnd) {
  // Nothing can be painted; the player must not wait for paints that never come.
  PreviewPlayer preview(/*show=*/false);
  QSignalSpy done(&preview.widget, &TTransitionPlayerWidget::TransitionDone);
  preview.Run(kFirst, 52);
  ASSERT_TRUE(done.wait(kGuardMs));
  EXPECT_EQ(preview.frames, 25);
  EXPECT_TRUE(ShowsQuadrants(GrabImage(preview.widget), kFirst));
}

TEST(PlayerWidgetTest, UnthreadedRunPumpsEventsAndFinishesInExecute) {
  PreviewPlayer preview;
  QSignalSpy done(&preview.widget, &TTransitionPlayerWidget::TransitionDone);
  preview.widget.Player().SetThreaded(false);
  preview.widget.Player().SetDelay(2);
  preview.Run(kFirst, 8);
  EXPECT_FALSE(preview.widget.Player().Busy());
  EXPECT_EQ(preview.frames, 25);
  EXPECT_EQ(done.count(), 1);
  EXPECT_TRUE(ShowsQuadrants(GrabImage(preview.widget), kFirst));
}

TEST(PlayerWidgetTest, PictureSizesTheWidgetAndTheClientArea) {
  TTransitionPlayerWidget widget;  // hidden: the size still follows at once
  EXPECT_EQ(widget.size(), QSize(100, 100)) << "a new player is 100 by 100";
  const TBitmap picture = QuadrantBitmap(70, 30, kFirst);
  widget.Player().SetPicture(&picture);  // AutoSize
  EXPECT_EQ(widget.size(), QSize(70, 30));
  EXPECT_EQ(widget.ClientWidth(), 70);
  EXPECT_EQ(widget.ClientHeight(), 30);
  // Qt tells a hidden widget of a resize when it is shown.
  widget.resize(90, 50);
  widget.show();
  EXPECT_EQ(widget.ClientWidth(), 90);
  EXPECT_EQ(widget.ClientHeight(), 50);
}

// Destroying the widget stops its transition wherever the thread is: not yet started, between
// frames, waiting for a paint. It neither hangs nor raises the signal of a finished run.
class PlayerWidgetDestroyTest : public ::testing::TestWithParam<int> {};

TEST_P(PlayerWidgetDestroyTest, DestroyingMidTransition) {
  auto preview = std::make_unique<PreviewPlayer>();
  QSignalSpy done(&preview->widget, &TTransitionPlayerWidget::TransitionDone);
  preview->Run(kFirst, 118);
  const int progress = GetParam();
  if (progress > 0) {
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return preview->widget.Player().Progress() >= progress; }, kGuardMs));
  }
  EXPECT_TRUE(preview->widget.Player().Busy());
  preview.reset();
  EXPECT_EQ(done.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Progress, PlayerWidgetDestroyTest, ::testing::Values(0, 4, 40, 92));

// Blocks this thread, without serving any event, until the animation thread has made a frame:
// right after it, that thread asks this one to paint and waits for it.
class FrameMadeLatch {
 public:
  explicit FrameMadeLatch(TTransitionPlayer& player) {
    player.OnAfterNewFrame = [this](TCustomTransitionPlayer&, TBitmap&, TBitmap&) {
      {
        std::lock_guard lock(mutex_);
        made_ = true;
      }
      changed_.notify_all();
    };
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return made_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool made_ = false;
};

// Stopping or destroying while the thread waits for its paint: the GUI thread must serve that
// paint while it waits for the thread, or both wait for ever.
TEST(PlayerWidgetTest, StopOrDestroyWhileTheThreadWaitsForItsPaint) {
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "destroy" : "stop");
    auto preview = std::make_unique<PreviewPlayer>();
    FrameMadeLatch latch(preview->widget.Player());
    QSignalSpy done(&preview->widget, &TTransitionPlayerWidget::TransitionDone);
    preview->Run(kFirst, 1);
    latch.Wait();
    if (destroy) {
      preview.reset();
      EXPECT_EQ(done.count(), 0);
    } else {
      preview->widget.Player().Stop();
      EXPECT_FALSE(preview->widget.Player().Busy());
      EXPECT_EQ(done.count(), 1);
    }
  }
}

}  // namespace
}  // namespace kestrava
