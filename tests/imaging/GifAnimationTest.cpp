// Drawing: one frame stretched with transparency, the composition of frames with their disposal
// methods, and the painter thread's timing and passes on a clock that never sleeps.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "imaging/GifAnimator.h"
#include "imaging/GifPainter.h"
#include "imaging/GifPicture.h"
#include "imaging/HeadlessGifHost.h"
#include "tests/imaging/GifTestSupport.h"

namespace kestrava {
namespace {

using namespace giftest;

constexpr TPixel kGrey = 0x404040, kYellow = 0xFFFF00;
const std::vector<TPixel> kColors = {kRed, kGreen, kBlue, kYellow};

TBitmap Filled(int w, int h, TPixel color) {
  TBitmap b(w, h);
  b.Canvas().Brush.Color = PixelToColor(color);
  b.Canvas().FillRect({0, 0, w, h});
  return b;
}

std::vector<TPixel> Row(const TBitmap& b, int y) {
  std::vector<TPixel> out;
  for (int x = 0; x < b.Width(); ++x)
    out.push_back(b.PixelAt(x, y) & 0xFFFFFF);
  return out;
}

// Moves only when told; the painter's waits are recorded and pass at once.
class TFakeClock final : public IGifClock {
 public:
  int64_t Milliseconds() override { return now_; }
  void Sleep(int milliseconds, TGifStopSignal&) override {
    std::lock_guard lock(mutex_);
    sleeps_.push_back(milliseconds);
    now_ += milliseconds;
  }
  void Advance(int milliseconds) { now_ += milliseconds; }
  std::vector<int> Sleeps() {
    std::lock_guard lock(mutex_);
    return sleeps_;
  }

 private:
  std::atomic<int64_t> now_{1000};
  std::mutex mutex_;
  std::vector<int> sleeps_;
};

TEST(GifDraw, OneFrameIsStretchedIntoItsShareWithTransparency) {
  // A 4 x 2 screen whose frame covers its right half; index 3 is transparent.
  TLoad load(Cat({Screen(4, 2, kColors), GraphicControl(0, 0, 3), Image(2, 0, 2, 2, {0, 3, 1, 2}),
                  Trailer()}));
  ASSERT_EQ(load.Error, "");
  for (bool transparent : {true, false}) {
    SCOPED_TRACE(transparent);
    TGifDrawOptions options;
    options.Transparent = transparent;
    load.Picture.SetDrawOptions(options);
    TBitmap canvas = Filled(12, 6, kGrey);
    // The screen doubled into (2, 1)-(10, 5): the frame lands on (6, 1)-(10, 5).
    load.Picture.Draw(canvas.Canvas(), {2, 1, 10, 5});
    const TPixel hole = transparent ? kGrey : kYellow;
    const std::vector<TPixel> top = {kGrey, kGrey, kGrey, kGrey, kGrey, kGrey,
                                     kRed,  kRed,  hole,  hole,  kGrey, kGrey};
    const std::vector<TPixel> bottom = {kGrey,  kGrey,  kGrey, kGrey, kGrey, kGrey,
                                        kGreen, kGreen, kBlue, kBlue, kGrey, kGrey};
    EXPECT_EQ(Row(canvas, 0), std::vector<TPixel>(12, kGrey));
    EXPECT_EQ(Row(canvas, 1), top);
    EXPECT_EQ(Row(canvas, 2), top);
    EXPECT_EQ(Row(canvas, 3), bottom);
    EXPECT_EQ(Row(canvas, 4), bottom);
    EXPECT_EQ(Row(canvas, 5), std::vector<TPixel>(12, kGrey));
  }
}

TEST(GifDraw, OnlyWhatFallsOnTheCanvasIsWorkedOn) {
  // A frame 60000 pixels wide on a 2 x 2 screen: stretched into the rectangle it would cover
  // 300 million pixels. Its first pixel is red, the rest keeps the fill, the transparent index.
  TLoad load(Cat({Screen(2, 2, kColors),
                  GraphicControl(0, 0, 3),
                  {0x2C, 0, 0, 0, 0},
                  Word(60000),
                  Word(2),
                  {0, 2},
                  SubBlocks(PackCodes({{4, 3}, {0, 3}, {5, 3}})),
                  Trailer()}));
  ASSERT_EQ(load.Error, "");
  TBitmap canvas = Filled(8, 8, kGrey);
  load.Picture.Draw(canvas.Canvas(), {0, 0, 100, 100});
  for (int y = 0; y < 8; ++y)
    EXPECT_EQ(Row(canvas, y), std::vector<TPixel>(8, kRed));
}

// Three 1 x 1 frames on a 3 x 1 screen over grey: frame i at (i, 0) unless a case moves it.
struct TDisposalCase {
  const char* Name;
  TBytes Frames;
  bool Transparent;
  std::vector<std::vector<TPixel>> Screens;  // after showing frame 0, 1, ...
  std::vector<std::string> Warnings;
};

TBytes Frame(int disposal, int x, uint8_t index, int transparentIndex = -1) {
  return Cat({GraphicControl(disposal, 1, transparentIndex), Image(x, 0, 1, 1, {index})});
}

TEST(GifAnimator, DisposalMethods) {
  const TBytes wide = Cat({GraphicControl(0, 1), Image(0, 0, 3, 1, {0, 0, 0})});
  const TPixel G = kGrey, R = kRed, Gn = kGreen, B = kBlue, Y = kYellow;
  const TDisposalCase cases[] = {
      {"0 and 1 leave the frame",
       Cat({Frame(0, 0, 0), Frame(1, 1, 1), Frame(1, 2, 2)}),
       true,
       {{R, G, G}, {R, Gn, G}, {R, Gn, B}},
       {}},
      {"2 gives the area back to what was there",
       Cat({Frame(2, 0, 0), Frame(2, 1, 1), Frame(0, 2, 2)}),
       true,
       {{R, G, G}, {G, Gn, G}, {G, G, B}},
       {}},
      {"2 without transparency fills the background colour",
       Cat({Frame(2, 0, 0), Frame(0, 1, 1)}),
       false,
       {{R, G, G}, {Y, Gn, G}},
       {}},
      {"3 puts back what lay beneath",
       Cat({wide, Frame(3, 0, 1), Frame(3, 1, 2), Frame(0, 2, 3)}),
       true,
       {{R, R, R}, {Gn, R, R}, {R, B, R}, {R, R, Y}},
       {}},
      {"4 to 7 are not drawn while composing",
       Cat({Frame(4, 0, 0), Frame(7, 1, 1), Frame(2, 2, 2)}),
       true,
       {{G, G, G}, {G, G, G}, {G, G, B}},
       {}},
      {"4 to 7 are drawn when nothing composes",
       Cat({Frame(4, 0, 0), Frame(7, 1, 1)}),
       true,
       {{R, G, G}, {R, Gn, G}},
       {}},
      {"transparent pixels show what is beneath",
       Cat({wide, Frame(1, 0, 0, 0), Frame(1, 1, 2, 0)}),
       true,
       {{R, R, R}, {R, R, R}, {R, B, R}},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    // Background index 3: yellow.
    TLoad load(Cat({Screen(3, 1, kColors, 3), c.Frames, Trailer()}));
    ASSERT_EQ(load.Error, "");
    TGifDrawOptions options;
    options.Transparent = c.Transparent;
    load.Picture.SetDrawOptions(options);
    TBitmap screen = Filled(3, 1, kGrey);
    TGifAnimator animator(load.Picture, screen);
    ASSERT_EQ(animator.FrameCount(), int(c.Screens.size()));
    for (size_t i = 0; i < c.Screens.size(); ++i) {
      animator.Show(int(i));
      EXPECT_EQ(Row(screen, 0), c.Screens[i]) << "after frame " << i;
    }
    EXPECT_EQ(load.Warnings, c.Warnings);
  }
}

TEST(GifAnimator, BackgroundColourOutsideTheTableIsEntryZero) {
  const struct {
    const char* Name;
    TBytes Screen;
    TPixel Expected;
    std::vector<std::string> Warnings;
  } cases[] = {
      {"index in the table", Screen(2, 1, kColors, 2), kBlue, {}},
      {"index beyond the table", Screen(2, 1, kColors, 9), kRed, {"Invalid color index"}},
      {"no global table: the window colour", Screen(2, 1, {}, 2), kWhite, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::vector<TPixel> local = {kGreen, kYellow};
    TLoad load(Cat({c.Screen, GraphicControl(2, 1), Image(0, 0, 1, 1, {0}, local),
                    GraphicControl(0, 1), Image(1, 0, 1, 1, {1}, local), Trailer()}));
    ASSERT_EQ(load.Error, "");
    TGifDrawOptions options;
    options.Transparent = false;
    load.Picture.SetDrawOptions(options);
    TBitmap screen = Filled(2, 1, kGrey);
    TGifAnimator animator(load.Picture, screen);
    animator.Show(0);
    animator.Show(1);
    EXPECT_EQ(Row(screen, 0), std::vector<TPixel>({c.Expected, kYellow}));
    EXPECT_EQ(load.Warnings, c.Warnings);
  }
}

TEST(GifAnimator, FramesPlayUpToTheFirstEmptyOne) {
  TLoad load(Cat({Screen(1, 1, kColors), Image(0, 0, 1, 1, {0}), Comment("no image"), Trailer(),
                  Image(0, 0, 1, 1, {1})}));
  TBitmap screen = Filled(1, 1, kGrey);
  EXPECT_EQ(TGifAnimator(load.Picture, screen).FrameCount(), 1);
}

TEST(GifPainter, WaitsFollowTheDelays) {
  EXPECT_EQ(GifFrameWait(10, 0, 100), 120);
  EXPECT_EQ(GifFrameWait(10, 0, 200), 60);
  EXPECT_EQ(GifFrameWait(10, 0, 30), 400);
  EXPECT_EQ(GifFrameWait(10, 9, 100), 116);  // half the lateness, rounded towards zero
  EXPECT_EQ(GifFrameWait(10, -9, 100), 124);
  EXPECT_EQ(GifFrameWait(3, 100, 100), -14);  // too late: no wait at all

  const struct {
    TBytes Control;
    int Delay;
  } cases[] = {
      {{}, 10},
      {GraphicControl(0, 0), 10},
      {GraphicControl(0, 1), 3},
      {GraphicControl(0, 3), 3},
      {GraphicControl(0, 250), 250},
  };
  for (const auto& c : cases) {
    TLoad load(Cat({Screen(1, 1, kColors), c.Control, Image(0, 0, 1, 1, {0}), Trailer()}));
    EXPECT_EQ(GifFrameDelay(load.Picture.Images()[0]), c.Delay);
  }
}

TEST(GifPainter, PlaysThePassesOfThePlanOnTheUiThread) {
  const struct {
    const char* Name;
    TGifPainter::TPlan Plan;
    std::vector<int> Shown;
    std::vector<int> Sleeps;
  } cases[] = {
      {"once", {2, 0, 1, 100, {5, 7}}, {0, 1}, {60}},
      {"three passes", {2, 0, 3, 100, {5, 7}}, {0, 1, 0, 1, 0, 1}, {60, 84, 60, 84, 60}},
      {"passes restart at frame 1", {3, 1, 2, 100, {3, 4, 5}}, {0, 1, 2, 1, 2}, {36, 48, 60, 48}},
      {"double speed", {2, 0, 1, 200, {5, 7}}, {0, 1}, {30}},
      {"one frame, twice", {1, 0, 2, 100, {10}}, {0, 0}, {120}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    THeadlessGifHost host;
    TFakeClock clock;
    std::vector<int> shown;
    bool offThread = false;
    TGifPainter painter(host, clock, c.Plan, [&](int index) {
      offThread |= !host.IsUiThread();
      shown.push_back(index);
    });
    painter.Start();
    host.WaitServing([&] { return painter.Finished(); });
    EXPECT_EQ(shown, c.Shown);
    EXPECT_EQ(clock.Sleeps(), c.Sleeps);
    EXPECT_FALSE(offThread);
    EXPECT_TRUE(painter.FirstShown());
  }
}

TEST(GifPainter, LateStepsShortenTheNextWait) {
  THeadlessGifHost host;
  TFakeClock clock;
  // Each drawing step takes 10 ms: every wait after the first is 5 ms shorter.
  TGifPainter painter(host, clock, {3, 0, 1, 100, {5, 5, 5}}, [&](int) { clock.Advance(10); });
  painter.Start();
  host.WaitServing([&] { return painter.Finished(); });
  EXPECT_EQ(clock.Sleeps(), std::vector<int>({60, 55}));
}

TEST(GifPainter, StopEndsAnEndlessAnimation) {
  THeadlessGifHost host;
  TFakeClock clock;
  std::atomic<int> steps{0};
  TGifPainter painter(host, clock, {2, 0, 0, 100, {5, 5}}, [&](int) { ++steps; });
  painter.Start();
  host.WaitServing([&] { return steps >= 5; });
  painter.Stop();
  painter.WaitFor();
  EXPECT_TRUE(painter.Finished());
  EXPECT_GE(steps, 5);
}

// A 2 x 1 screen of two frames, red then green, each covering it.
TBytes TwoFrameAnimation(const TBytes& loop) {
  return Cat({Screen(2, 1, kColors), loop, GraphicControl(0, 5), Image(0, 0, 2, 1, {0, 0}),
              GraphicControl(0, 7), Image(0, 0, 2, 1, {1, 1}), Trailer()});
}

class GifAnimation : public ::testing::Test {
 protected:
  void Use(TGifPicture& picture) {
    picture.SetPainterHost(&host);
    picture.SetClock(&clock);
    picture.OnChange = [this](TGifPicture&) {
      changes += 1;
      if (!host.IsUiThread()) offThread = true;
    };
  }
  THeadlessGifHost host;
  TFakeClock clock;
  int changes = 0;
  bool offThread = false;
};

TEST_F(GifAnimation, LoopCountThreePlaysThreePassesAndKeepsTheLastFrame) {
  TLoad load(TwoFrameAnimation(LoopExtension(3)));
  TGifPicture& picture = load.Picture;
  Use(picture);
  TBitmap canvas = Filled(4, 2, kGrey);
  picture.Draw(canvas.Canvas(), {0, 0, 4, 2});
  // Draw came back once the first frame was there.
  EXPECT_EQ(Row(canvas, 0), std::vector<TPixel>(4, kRed));
  host.WaitServing([&] { return !picture.Animating(); });
  EXPECT_EQ(clock.Sleeps(), std::vector<int>({60, 84, 60, 84, 60}));
  EXPECT_EQ(changes, 6);
  EXPECT_FALSE(offThread);
  picture.Draw(canvas.Canvas(), {0, 0, 4, 2});
  EXPECT_EQ(Row(canvas, 1), std::vector<TPixel>(4, kGreen));
}

TEST_F(GifAnimation, WithoutLoopExtensionTheFramesPlayOnce) {
  TLoad load(TwoFrameAnimation({}));
  Use(load.Picture);
  TBitmap canvas = Filled(2, 1, kGrey);
  load.Picture.Draw(canvas.Canvas(), {0, 0, 2, 1});
  host.WaitServing([&] { return !load.Picture.Animating(); });
  EXPECT_EQ(clock.Sleeps(), std::vector<int>({60}));
}

TEST_F(GifAnimation, ClearingStopsAnEndlessAnimation) {
  for (const char* how : {"clear", "load again", "destroy"}) {
    SCOPED_TRACE(how);
    auto load = std::make_unique<TLoad>(TwoFrameAnimation(LoopExtension(0)));
    TGifPicture& picture = load->Picture;
    Use(picture);
    TBitmap canvas = Filled(2, 1, kGrey);
    picture.Draw(canvas.Canvas(), {0, 0, 2, 1});
    host.WaitServing([&] { return changes >= 8; });
    EXPECT_TRUE(picture.Animating());
    if (std::string(how) == "clear") {
      picture.Clear();
      EXPECT_TRUE(picture.Empty());
    } else if (std::string(how) == "load again") {
      load->Stream.Seek(0);
      picture.LoadFromStream(load->Stream);
      EXPECT_EQ(picture.Images().Count(), 2);
    }
    if (std::string(how) != "destroy") {
      EXPECT_FALSE(picture.Animating());
    }
    load.reset();
    changes = 0;
  }
}

TEST_F(GifAnimation, AnimationPlaysOverWhatTheCanvasShowed) {
  // The second frame has a transparent pixel: grey from the canvas shows through.
  TLoad load(Cat({Screen(2, 1, kColors), GraphicControl(1, 5, 3), Image(0, 0, 2, 1, {0, 3}),
                  GraphicControl(0, 5, 3), Image(0, 0, 2, 1, {3, 2}), Trailer()}));
  Use(load.Picture);
  TBitmap canvas = Filled(2, 1, kGrey);
  load.Picture.Draw(canvas.Canvas(), {0, 0, 2, 1});
  EXPECT_EQ(Row(canvas, 0), std::vector<TPixel>({kRed, kGrey}));
  host.WaitServing([&] { return !load.Picture.Animating(); });
  load.Picture.Draw(canvas.Canvas(), {0, 0, 2, 1});
  EXPECT_EQ(Row(canvas, 0), std::vector<TPixel>({kRed, kBlue}));
}

TEST_F(GifAnimation, WithoutHostOrAnimationOnlyTheFirstFrameIsDrawn) {
  TLoad load(TwoFrameAnimation(LoopExtension(0)));
  TBitmap canvas = Filled(2, 1, kGrey);
  load.Picture.Draw(canvas.Canvas(), {0, 0, 2, 1});
  EXPECT_FALSE(load.Picture.Animating());
  EXPECT_EQ(Row(canvas, 0), std::vector<TPixel>(2, kRed));

  Use(load.Picture);
  TGifDrawOptions still;
  still.Animate = false;
  load.Picture.SetDrawOptions(still);
  load.Picture.Draw(canvas.Canvas(), {0, 0, 2, 1});
  EXPECT_FALSE(load.Picture.Animating());
  EXPECT_EQ(clock.Sleeps(), std::vector<int>());
}

}  // namespace
}  // namespace kestrava
