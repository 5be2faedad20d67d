#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/transitions/PlayerTestSupport.h"

namespace kestrava {
namespace {

using testing::ImageOf;
using testing::Pattern;
using testing::SameImage;
using testing::Solid;
using testing::TPlayerRig;

constexpr int kW = 24, kH = 16;
constexpr TTransitionStyle kStyle = 5;  // reveal from left: every frame differs from the last

// The transition's frames and events run the same way on the animation thread and in the loop
// that pumps messages, so every case here runs in both.
struct TMode {
  const char* Name;
  bool Threaded;
};
const TMode kModes[] = {{"Threaded", true}, {"Loop", false}};
void PrintTo(const TMode& mode, std::ostream* os) {
  *os << mode.Name;
}

class PlayerRunBase : public ::testing::Test {
 protected:
  explicit PlayerRunBase(bool threaded) : rig(threaded) {
    rig.Player.SetStyle(kStyle);
    rig.Player.SetPicture(&picture);
  }

  static TBitmap Background() { return Solid(kW, kH, TPlayerRig::kBackground); }
  TBitmap FrameAt(int progress, const TBitmap& old) const {
    TBitmap frame;
    MakeTransitionFrame(kStyle, old, picture, rig.Player.Step(), progress, frame);
    return frame;
  }

  TBitmap picture = Pattern(kW, kH);
  TPlayerRig rig;
};

class PlayerRun : public PlayerRunBase, public ::testing::WithParamInterface<TMode> {
 protected:
  PlayerRun() : PlayerRunBase(GetParam().Threaded) {}
};

// Manual mode makes frames only when Progress is written, whatever Threaded says.
class PlayerManual : public PlayerRunBase {
 protected:
  PlayerManual() : PlayerRunBase(true) {}
};

struct TSequenceCase {
  const char* Name;
  uint16_t Step;
  bool Reverse;
  size_t Frames;
};

void PrintTo(const TSequenceCase& c, std::ostream* os) {
  *os << c.Name;
}

class PlayerSequence : public ::testing::TestWithParam<std::tuple<TMode, TSequenceCase>> {};

TEST_P(PlayerSequence, MakesEveryFrameInOrderAndEndsOnTheLastOne) {
  const auto& [mode, c] = GetParam();
  TPlayerRig rig(mode.Threaded);
  const TBitmap picture = Pattern(kW, kH);
  rig.Player.SetStyle(kStyle);
  rig.Player.SetStep(c.Step);
  rig.Player.SetReverse(c.Reverse);
  rig.Player.SetPicture(&picture);

  rig.Player.Execute();
  ASSERT_TRUE(rig.RunToEnd());

  // Forward the multiples of Step below 100, then 100; in reverse the same from 100 down to 0.
  std::vector<int> frames;
  for (int k = 1; k * c.Step < 100; ++k)
    frames.push_back(c.Reverse ? 100 - k * c.Step : k * c.Step);
  frames.push_back(c.Reverse ? 0 : 100);
  EXPECT_EQ(rig.Log.Frames(), frames);
  EXPECT_EQ(frames.size(), c.Frames);

  std::vector<std::string> events{"Start"};
  for (size_t i = 0; i < frames.size(); ++i)
    events.insert(events.end(), {"Before", "After", "Progress"});
  events.insert(events.end(), {"Complete", "Stop"});
  EXPECT_EQ(rig.Log.Events(), events);

  EXPECT_FALSE(rig.Player.Busy());
  EXPECT_EQ(rig.Player.Progress(), frames.back());
  // The first transition starts from the background; a reverse one ends showing it again.
  EXPECT_TRUE(
      SameImage(rig.Host.Screen(), c.Reverse ? Solid(kW, kH, TPlayerRig::kBackground) : picture));
}

const TSequenceCase kSequences[] = {
    {"Step4", 4, false, 25},  {"Step3", 3, false, 34},       {"Step100", 100, false, 1},
    {"Step60", 60, false, 2}, {"ReverseStep4", 4, true, 25}, {"ReverseStep7", 7, true, 15},
};

INSTANTIATE_TEST_SUITE_P(Modes, PlayerSequence,
                         ::testing::Combine(::testing::ValuesIn(kModes),
                                            ::testing::ValuesIn(kSequences)),
                         [](const auto& row) {
                           return std::string(std::get<0>(row.param).Name) +
                                  std::get<1>(row.param).Name;
                         });

TEST_P(PlayerRun, StopEndsTheTransitionOnTheLastFrameMade) {
  bool busyAfterStop = true;
  rig.AtFrame(12, [&] {
    rig.Player.Stop();
    busyAfterStop = rig.Player.Busy();
  });
  rig.Player.Execute();
  ASSERT_TRUE(rig.RunToEnd());

  EXPECT_FALSE(busyAfterStop);
  EXPECT_EQ(rig.Log.Count("Stop"), 1);
  EXPECT_EQ(rig.Log.Count("Complete"), 0);
  const int last = rig.Log.LastFrame();
  EXPECT_GE(last, 12);
  EXPECT_LT(last, 100);
  EXPECT_EQ(rig.Player.Progress(), last);
  EXPECT_TRUE(SameImage(rig.Host.Screen(), FrameAt(last, Background())));
}

TEST_P(PlayerRun, ExecuteWhileBusyLeavesTheFirstTransitionRunning) {
  const TBitmap other = Pattern(kW, kH, 99);
  rig.AtFrame(8, [&] {
    rig.Player.SetPicture(&other);
    rig.Player.SetStyle(kStyle + 1);
    rig.Player.Execute();
  });
  rig.Player.Execute();
  ASSERT_TRUE(rig.RunToEnd());

  EXPECT_EQ(rig.Log.Count("Start"), 1);
  EXPECT_EQ(rig.Log.FrameCount(), 25u);
  // The running transition works on the picture it was started with.
  EXPECT_TRUE(SameImage(rig.Host.Screen(), picture));
}

TEST_P(PlayerRun, LaterTransitionsStartFromWhatIsShownUnlessOverDrawIsOff) {
  // A tiled background picture: the first transition must start from it, not from black.
  const TBitmap tile = Pattern(5, 3, 40);
  rig.Player.SetBgPicture(&tile);
  const TBitmap background =
      ImageOf(kW, kH, [&](int x, int y) { return tile.PixelAt(x % 5, y % 3); });
  std::vector<TBitmap> oldScreens;
  rig.Player.OnStart = [&](TCustomTransitionPlayer&, TBitmap&, TBitmap& screen) {
    oldScreens.push_back(screen);
  };
  const TBitmap second = Pattern(kW, kH, 77);

  for (bool overDraw : {true, false}) {
    SCOPED_TRACE(overDraw ? "OverDraw" : "no OverDraw");
    rig.Player.SetOverDraw(overDraw);
    rig.Player.SetPicture(&picture);
    rig.Player.Execute();
    ASSERT_TRUE(rig.RunToEnd());
    rig.Player.SetPicture(&second);
    rig.Player.Execute();
    ASSERT_TRUE(rig.RunToEnd());
    EXPECT_TRUE(SameImage(rig.Host.Screen(), second));
  }
  ASSERT_EQ(oldScreens.size(), 4u);
  EXPECT_TRUE(SameImage(oldScreens[0], background));
  EXPECT_TRUE(SameImage(oldScreens[1], picture));
  // With OverDraw off every transition starts from the background again.
  EXPECT_TRUE(SameImage(oldScreens[2], background));
  EXPECT_TRUE(SameImage(oldScreens[3], background));
}

TEST_F(PlayerManual, ProgressDrawsOnlyWhenWritten) {
  rig.Host.CreateWindowIfNeeded();
  rig.Host.ProcessMessages();
  const int paints = rig.Host.PaintCount();
  rig.Player.SetManual(true);

  rig.Player.Execute();
  rig.Host.ProcessMessages();
  EXPECT_EQ(rig.Log.Events(), std::vector<std::string>{"Start"});
  EXPECT_TRUE(rig.Player.Busy());
  EXPECT_EQ(rig.Player.Progress(), 0);
  EXPECT_EQ(rig.Host.PaintCount(), paints);

  rig.Player.SetProgress(50);
  const TBitmap halfWay = FrameAt(50, Background());
  ASSERT_FALSE(SameImage(halfWay, picture));
  ASSERT_FALSE(SameImage(halfWay, Background()));
  EXPECT_TRUE(SameImage(rig.Host.Screen(), halfWay));
  rig.Player.SetProgress(50);
  EXPECT_EQ(rig.Log.Frames(), std::vector<int>{50});

  // Writing Progress past 100 takes 100.
  rig.Player.SetProgress(250);
  EXPECT_EQ(rig.Player.Progress(), 100);
  EXPECT_TRUE(SameImage(rig.Host.Screen(), picture));

  rig.Player.Stop();
  EXPECT_FALSE(rig.Player.Busy());
  EXPECT_EQ(rig.Log.Count("Stop"), 1);
  EXPECT_EQ(rig.Log.Count("Complete"), 0);
  rig.Player.SetProgress(30);
  EXPECT_EQ(rig.Player.Progress(), 100);
  EXPECT_EQ(rig.Log.Frames(), (std::vector<int>{50, 100}));
}

TEST_P(PlayerRun, ManualOffResumesFromTheCurrentProgress) {
  rig.Player.SetManual(true);
  rig.Player.Execute();
  rig.Player.SetProgress(48);
  rig.Player.SetManual(false);
  ASSERT_TRUE(rig.RunToEnd());

  std::vector<int> frames{48};
  for (int p = 52; p <= 100; p += 4)
    frames.push_back(p);
  EXPECT_EQ(rig.Log.Frames(), frames);
  EXPECT_EQ(rig.Log.Count("Complete"), 1);
  EXPECT_EQ(rig.Log.Count("Stop"), 1);
  EXPECT_TRUE(SameImage(rig.Host.Screen(), picture));
}

TEST_P(PlayerRun, ManualOnDuringARunHoldsTheTransitionUntilOff) {
  bool held = false;
  rig.AtFrame(20, [&] {
    rig.Player.SetManual(true);
    held = true;
  });
  rig.Player.Execute();
  ASSERT_TRUE(rig.Host.RunUntil([&] { return held; }));
  rig.Host.ProcessMessages();

  EXPECT_TRUE(rig.Player.Busy());
  EXPECT_EQ(rig.Log.Count("Stop"), 0);
  const int heldAt = rig.Player.Progress();
  EXPECT_EQ(rig.Log.LastFrame(), heldAt);
  EXPECT_LT(heldAt, 100);

  rig.Player.SetManual(false);
  ASSERT_TRUE(rig.RunToEnd());
  std::vector<int> frames;
  for (int p = 4; p <= 100; p += 4)
    frames.push_back(p);
  EXPECT_EQ(rig.Log.Frames(), frames);
  EXPECT_EQ(rig.Log.Count("Complete"), 1);
  EXPECT_EQ(rig.Log.Count("Stop"), 1);
}

TEST_P(PlayerRun, CustomStyleFramesComeFromTheHandlerOrKeepTheOldImage) {
  constexpr TColor kDrawn = RGBColor(250, 0, 250);
  for (bool handler : {false, true}) {
    SCOPED_TRACE(handler ? "with OnCustomDraw" : "without OnCustomDraw");
    TPlayerRig custom(GetParam().Threaded);
    custom.Player.SetStyle(0);
    custom.Player.SetPicture(&picture);
    int drawn = 0;
    if (handler)
      custom.Player.OnCustomDraw = [&](TCustomTransitionPlayer&, TBitmap&, TBitmap& screen) {
        ++drawn;
        screen.Canvas().Brush.Color = kDrawn;
        screen.Canvas().FillRect({0, 0, screen.Width(), screen.Height()});
      };
    // Whether each frame showed what it should: the drawing (or the old image) before 100, the
    // new picture at 100.
    std::vector<bool> right;
    custom.Player.OnAfterNewFrame = [&](TCustomTransitionPlayer& p, TBitmap&, TBitmap& screen) {
      const TBitmap expected = p.Progress() == 100 ? picture
                               : handler           ? Solid(kW, kH, kDrawn)
                                                   : Solid(kW, kH, TPlayerRig::kBackground);
      right.push_back(bool(SameImage(screen, expected)));
    };
    custom.Player.Execute();
    ASSERT_TRUE(custom.RunToEnd());
    EXPECT_EQ(right, std::vector<bool>(25, true));
    EXPECT_EQ(drawn, handler ? 24 : 0);
    EXPECT_TRUE(SameImage(custom.Host.Screen(), picture));
  }
}

TEST_P(PlayerRun, AFrameThatFailsEndsTheTransition) {
  bool thrown = false;
  rig.Player.OnBeforeNewFrame = [&](TCustomTransitionPlayer& p, TBitmap&, TBitmap&) {
    if (p.Progress() == 40 && !thrown) {
      thrown = true;
      throw std::runtime_error("frame failed");
    }
  };
  if (GetParam().Threaded) {
    // On the thread the failure ends the animation as if it had reached its end.
    rig.Player.Execute();
    ASSERT_TRUE(rig.RunToEnd());
    EXPECT_EQ(rig.Log.Count("Complete"), 1);
    EXPECT_EQ(rig.Log.Count("Stop"), 1);
  } else {
    // In the loop it reaches the caller of Execute, and the transition is dropped.
    EXPECT_THROW(rig.Player.Execute(), std::runtime_error);
    EXPECT_FALSE(rig.Player.Busy());
    EXPECT_EQ(rig.Log.Count("Complete"), 0);
    EXPECT_EQ(rig.Log.Count("Stop"), 0);
  }
  EXPECT_EQ(rig.Log.LastFrame(), 36);

  // The next transition runs normally.
  rig.Player.Execute();
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.Log.LastFrame(), 100);
  EXPECT_TRUE(SameImage(rig.Host.Screen(), picture));
}

TEST_P(PlayerRun, AResizeDuringATransitionMovesThePictureAndTheRunGoesOn) {
  constexpr int kClientW = 40, kClientH = 30, kNewW = 60, kNewH = 50;
  TPlayerRig centred(GetParam().Threaded, kClientW, kClientH);
  centred.Player.SetAutoSize(false);
  centred.Player.SetCenter(true);
  centred.Player.SetStyle(kStyle);
  centred.Player.SetPicture(&picture);
  centred.AtFrame(40, [&] { centred.Host.SetClientSize(kNewW, kNewH); });
  centred.Player.Execute();
  ASSERT_TRUE(centred.RunToEnd());

  EXPECT_EQ(centred.Log.FrameCount(), 25u);
  const int left = (kNewW - kW) / 2, top = (kNewH - kH) / 2;
  const TBitmap expected = ImageOf(kNewW, kNewH, [&](int x, int y) {
    const bool inside = x >= left && x < left + kW && y >= top && y < top + kH;
    return inside ? picture.PixelAt(x - left, y - top) : ColorToPixel(TPlayerRig::kBackground);
  });
  EXPECT_TRUE(SameImage(centred.Host.Screen(), expected));
}

INSTANTIATE_TEST_SUITE_P(Modes, PlayerRun, ::testing::ValuesIn(kModes),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(PlayerRunThreaded, DestroyingTheControlStopsTheTransitionWithoutEvents) {
  THeadlessPlayerHost host;
  testing::TEventLog log;
  const TBitmap picture = Pattern(kW, kH);
  auto player = std::make_unique<TTransitionPlayer>(host);
  player->SetDelay(0);
  player->OnProgress = [&](TCustomTransitionPlayer& p) { log.Add("Progress", p.Progress()); };
  player->OnComplete = [&](TCustomTransitionPlayer&) { log.Add("Complete"); };
  player->OnStop = [&](TCustomTransitionPlayer&) { log.Add("Stop"); };
  player->SetPicture(&picture);
  player->Execute();
  ASSERT_TRUE(host.RunUntil([&] { return log.FrameCount() >= 3; }));

  player.reset();
  host.ProcessMessages();
  EXPECT_LT(log.LastFrame(), 100);
  EXPECT_EQ(log.Count("Complete"), 0);
  EXPECT_EQ(log.Count("Stop"), 0);
}

TEST(PlayerRunThreaded, DestroyingTheWindowStopsTheTransition) {
  TPlayerRig rig(true);
  const TBitmap picture = Pattern(kW, kH);
  rig.Player.SetPicture(&picture);
  rig.Player.Execute();
  ASSERT_TRUE(rig.Host.RunUntil([&] { return rig.Log.FrameCount() >= 3; }));

  rig.Host.DestroyWindow();
  EXPECT_FALSE(rig.Player.Busy());
  EXPECT_EQ(rig.Log.Count("Complete"), 0);
  EXPECT_EQ(rig.Log.Count("Stop"), 1);
}

TEST_F(PlayerManual, SwitchingToAPixelArithmeticStyleMakesTheBitmaps32Bit) {
  const TBitmap picture24 = Pattern(kW, kH, 0, TPixelFormat::pf24bit);
  rig.Player.SetPicture(&picture24);
  std::vector<std::pair<TPixelFormat, TPixelFormat>> formats;
  rig.Player.OnBeforeNewFrame = [&](TCustomTransitionPlayer&, TBitmap& pic, TBitmap& screen) {
    formats.emplace_back(pic.PixelFormat(), screen.PixelFormat());
  };
  rig.Player.SetManual(true);
  rig.Player.Execute();
  rig.Player.SetProgress(20);
  rig.Player.SetStyle(118);
  rig.Player.SetProgress(40);
  rig.Player.Stop();

  using enum TPixelFormat;
  EXPECT_EQ(formats, (std::vector<std::pair<TPixelFormat, TPixelFormat>>{{pf24bit, pfDevice},
                                                                         {pf32bit, pf32bit}}));
}

}  // namespace
}  // namespace kestrava
