#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/transitions/PlayerTestSupport.h"

namespace kestrava {
namespace {

using testing::ImageOf;
using testing::Pattern;
using testing::SameImage;
using testing::Solid;
using testing::TPlayerRig;

TEST(PlayerProperties, Defaults) {
  THeadlessPlayerHost host;
  TTransitionPlayer player(host);
  EXPECT_EQ(player.Style(), 51);
  EXPECT_EQ(player.StyleName(), "Appear and Contract to middle");
  EXPECT_EQ(player.Step(), 4);
  EXPECT_EQ(player.Delay(), 40);
  EXPECT_FALSE(player.Reverse());
  EXPECT_FALSE(player.Manual());
  EXPECT_TRUE(player.Threaded());
  EXPECT_EQ(player.ThreadPriority(), TThreadPriority::tpNormal);
  EXPECT_FALSE(player.Picture().HasGraphic());
  EXPECT_FALSE(player.BgPicture().HasGraphic());
  EXPECT_EQ(player.BgMode(), TBackgroundMode::bmTiled);
  EXPECT_FALSE(player.Center());
  EXPECT_FALSE(player.Stretch());
  EXPECT_FALSE(player.StretchFine());
  EXPECT_TRUE(player.AutoSize());
  EXPECT_TRUE(player.OverDraw());
  EXPECT_EQ(player.Align(), TAlign::alNone);
  EXPECT_EQ(player.Progress(), 0);
  EXPECT_FALSE(player.Busy());
  EXPECT_EQ(host.ClientWidth(), 100);
  EXPECT_EQ(host.ClientHeight(), 100);
}

TEST(PlayerProperties, StepIsKeptBetweenOneAndOneHundred) {
  const std::pair<uint16_t, uint16_t> cases[] = {{0, 1},     {1, 1},     {7, 7},      {100, 100},
                                                 {101, 100}, {250, 100}, {65535, 100}};
  THeadlessPlayerHost host;
  TTransitionPlayer player(host);
  for (const auto& [written, read] : cases) {
    player.SetStep(written);
    EXPECT_EQ(player.Step(), read) << written;
  }
}

TEST(PlayerProperties, StylesPastTheCatalogueAreIgnored) {
  THeadlessPlayerHost host;
  TTransitionPlayer player(host);
  player.SetStyle(150);
  EXPECT_EQ(player.Style(), 150);
  player.SetStyle(151);
  EXPECT_EQ(player.Style(), 150);
  player.SetStyle(255);
  EXPECT_EQ(player.Style(), 150);
  player.SetStyle(0);
  EXPECT_EQ(player.Style(), 0);
}

TEST(PlayerProperties, StyleNameReadsAndSelectsByName) {
  THeadlessPlayerHost host;
  TTransitionPlayer player(host);
  const struct {
    TTransitionStyle Before;
    const char* Written;
    TTransitionStyle After;
    const char* Read;
  } cases[] = {
      {51, "custom", 0, "Custom"},
      {33, "EXPAND FROM BOTTOM", 18, "Expand from bottom"},
      {0, "Rotational star", 150, "Rotational star"},
      {12, "no such effect", 12, "Reveal in from sides"},
      {12, "", 12, "Reveal in from sides"},
  };
  for (const auto& c : cases) {
    player.SetStyle(c.Before);
    player.SetStyleName(c.Written);
    EXPECT_EQ(player.Style(), c.After) << c.Written;
    EXPECT_EQ(player.StyleName(), c.Read) << c.Written;
  }
}

TEST(PlayerProperties, PictureChangesAreReported) {
  THeadlessPlayerHost host;
  TTransitionPlayer player(host);
  int changes = 0;
  player.OnChange = [&](TCustomTransitionPlayer&) { ++changes; };
  const TBitmap picture = Pattern(8, 6);
  player.SetPicture(&picture);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(SameImage(player.Picture().Graphic(), picture));
  player.SetPicture(nullptr);
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(player.Picture().HasGraphic());
  // An empty bitmap is no graphic.
  const TBitmap empty;
  player.SetPicture(&empty);
  EXPECT_EQ(changes, 3);
  EXPECT_FALSE(player.Picture().HasGraphic());
}

TEST(PlayerProperties, AutoSizeFitsTheSidesThatAlignmentLeavesFree) {
  const struct {
    TAlign Align;
    bool AutoSize;
    int Width, Height;
  } cases[] = {
      {TAlign::alNone, true, 10, 5},    {TAlign::alCustom, true, 10, 5},
      {TAlign::alTop, true, 50, 5},     {TAlign::alBottom, true, 50, 5},
      {TAlign::alLeft, true, 10, 40},   {TAlign::alRight, true, 10, 40},
      {TAlign::alClient, true, 50, 40}, {TAlign::alNone, false, 50, 40},
  };
  const TBitmap picture = Pattern(10, 5);
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Align));
    THeadlessPlayerHost host(50, 40);
    TTransitionPlayer player(host);
    player.SetAlign(c.Align);
    player.SetAutoSize(c.AutoSize);
    player.SetPicture(&picture);
    EXPECT_EQ(host.ClientWidth(), c.Width);
    EXPECT_EQ(host.ClientHeight(), c.Height);
  }
}

TEST(PlayerProperties, TurningAutoSizeOnFitsTheClientToThePicture) {
  THeadlessPlayerHost host(50, 40);
  TTransitionPlayer player(host);
  player.SetAutoSize(false);
  const TBitmap picture = Pattern(10, 5);
  player.SetPicture(&picture);
  EXPECT_EQ(host.ClientWidth(), 50);
  player.SetAutoSize(true);
  EXPECT_EQ(host.ClientWidth(), 10);
  EXPECT_EQ(host.ClientHeight(), 5);
}

TEST(PlayerProperties, ExecuteWithoutAPictureDoesNothing) {
  TPlayerRig rig(false);
  rig.Player.Execute();
  EXPECT_FALSE(rig.Player.Busy());
  EXPECT_FALSE(rig.Host.WindowExists());
  EXPECT_TRUE(rig.Log.Events().empty());
}

TEST(FitRect, CentresTheLargestRectangleOfTheSameShape) {
  const struct {
    TRect A, B, Fit;
  } cases[] = {
      {{0, 0, 10, 5}, {0, 0, 30, 20}, {0, 2, 30, 17}},
      {{0, 0, 10, 10}, {0, 0, 30, 20}, {5, 0, 25, 20}},
      {{0, 0, 10, 5}, {0, 0, 20, 10}, {0, 0, 20, 10}},
      {{0, 0, 3, 2}, {0, 0, 10, 10}, {0, 1, 10, 8}},  // 2 x 10 / 3 rounds to 7
      {{4, 4, 14, 9}, {10, 10, 40, 30}, {10, 12, 40, 27}},
  };
  for (const auto& c : cases) {
    const TRect r = FitRect(c.A, c.B);
    EXPECT_EQ(r, c.Fit) << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
  }
}

TEST(MakeTransitionFrame, HoldsTheEndStatesAndTheEffectInBetween) {
  const TBitmap old = Pattern(20, 12, 3);
  const TBitmap picture = Pattern(20, 12, 9);
  for (TTransitionStyle style : {5, 18, 51}) {
    SCOPED_TRACE(int(style));
    TBitmap frame;
    MakeTransitionFrame(style, old, picture, 4, 0, frame);
    EXPECT_TRUE(SameImage(frame, old));
    MakeTransitionFrame(style, old, picture, 4, 100, frame);
    EXPECT_TRUE(SameImage(frame, picture));
    MakeTransitionFrame(style, old, picture, 4, 50, frame);
    EXPECT_FALSE(SameImage(frame, old));
    EXPECT_FALSE(SameImage(frame, picture));
    // The frame starts from the old image every time, whatever it held.
    TBitmap again = Solid(20, 12, clWhite);
    MakeTransitionFrame(style, old, picture, 4, 50, again);
    EXPECT_TRUE(SameImage(again, frame));
  }
  // Custom frames are drawn by the player's handler; without it the old image stays.
  TBitmap frame;
  MakeTransitionFrame(0, old, picture, 4, 50, frame);
  EXPECT_TRUE(SameImage(frame, old));
}

TEST(MakeTransitionFrame, UsesThirtyTwoBitsOnlyForPixelArithmetic) {
  const TBitmap old = Pattern(6, 4, 1, TPixelFormat::pf24bit);
  const TBitmap picture = Pattern(6, 4, 2, TPixelFormat::pf24bit);
  for (int style : {1, 117, 118, 122, 123}) {
    TBitmap frame(6, 4, TPixelFormat::pf8bit);
    MakeTransitionFrame(TTransitionStyle(style), old, picture, 4, 100, frame);
    EXPECT_EQ(frame.PixelFormat(),
              style >= 118 && style <= 122 ? TPixelFormat::pf32bit : TPixelFormat::pfDevice)
        << style;
    EXPECT_TRUE(SameImage(frame, picture)) << style;
  }
}

// Where the picture stands in the client area after a transition, for each way of placing it.
TEST(PlayerPainting, PlacesThePictureAsCenterAndStretchSay) {
  constexpr int kW = 10, kH = 5;
  const TBitmap picture = Pattern(kW, kH);
  const TPixel bg = ColorToPixel(TPlayerRig::kBackground);
  const auto at = [&](int x, int y) { return picture.PixelAt(x, y); };
  const struct {
    const char* Name;
    int ClientW, ClientH;
    bool Center, Stretch, StretchFine;
    std::function<TPixel(int, int)> Expected;
  } cases[] = {
      {"TopLeft", 30, 20, false, false, false,
       [&](int x, int y) { return x < kW && y < kH ? at(x, y) : bg; }},
      {"Centred", 30, 20, true, false, false,
       [&](int x, int y) {
         return x >= 10 && x < 20 && y >= 7 && y < 12 ? at(x - 10, y - 7) : bg;
       }},
      // Larger than the client: the offsets are negative, truncated toward zero.
      {"CentredLarger", 6, 4, true, false, false, [&](int x, int y) { return at(x + 2, y); }},
      {"Stretched", 30, 20, false, true, false, [&](int x, int y) { return at(x / 3, y / 4); }},
      {"StretchedToFit", 30, 20, false, true, true,
       [&](int x, int y) { return y >= 2 && y < 17 ? at(x / 3, (y - 2) / 3) : bg; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPlayerRig rig(false, c.ClientW, c.ClientH);
    rig.Player.SetAutoSize(false);
    rig.Player.SetCenter(c.Center);
    rig.Player.SetStretch(c.Stretch);
    rig.Player.SetStretchFine(c.StretchFine);
    rig.Player.SetStep(50);
    rig.Player.SetPicture(&picture);
    rig.Player.Execute();
    EXPECT_TRUE(SameImage(rig.Host.Screen(), ImageOf(c.ClientW, c.ClientH, c.Expected)));
  }
}

TEST(PlayerPainting, PaintsTheBackgroundPictureAsBgModeSays) {
  constexpr int kW = 20, kH = 12;
  const TBitmap tile = Pattern(6, 5, 1);
  const TBitmap small = Pattern(4, 3, 2);
  const TPixel bg = ColorToPixel(TPlayerRig::kBackground);
  const struct {
    const char* Name;
    TBackgroundMode Mode;
    const TBitmap* Graphic;
    std::function<TPixel(int, int)> Expected;
  } cases[] = {
      {"None", TBackgroundMode::bmNone, &tile, [&](int, int) { return bg; }},
      {"Tiled", TBackgroundMode::bmTiled, &tile,
       [&](int x, int y) { return tile.PixelAt(x % 6, y % 5); }},
      {"Stretched", TBackgroundMode::bmStretched, &small,
       [&](int x, int y) { return small.PixelAt(x / 5, y / 4); }},
      {"Centred", TBackgroundMode::bmCentered, &tile,
       [&](int x, int y) {
         return x >= 7 && x < 13 && y >= 3 && y < 8 ? tile.PixelAt(x - 7, y - 3) : bg;
       }},
      {"NoPicture", TBackgroundMode::bmTiled, nullptr, [&](int, int) { return bg; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPlayerRig rig(false, kW, kH);
    rig.Player.SetBgMode(c.Mode);
    rig.Player.SetBgPicture(c.Graphic);
    rig.Host.CreateWindowIfNeeded();
    rig.Host.ProcessMessages();
    EXPECT_TRUE(SameImage(rig.Host.Screen(), ImageOf(kW, kH, c.Expected)));
  }
}

TEST(PlayerPainting, ChangesOfTheLookRepaintTheWindow) {
  TPlayerRig rig(false, 8, 6);
  const TBitmap tile = Pattern(3, 3);
  rig.Host.CreateWindowIfNeeded();
  rig.Host.ProcessMessages();
  rig.Player.SetColor(clBlack);
  rig.Host.ProcessMessages();
  EXPECT_TRUE(SameImage(rig.Host.Screen(), Solid(8, 6, clBlack)));
  rig.Player.SetBgPicture(&tile);
  rig.Host.ProcessMessages();
  EXPECT_EQ(rig.Host.Screen().PixelAt(4, 4), tile.PixelAt(1, 1));
  rig.Player.SetBgMode(TBackgroundMode::bmNone);
  rig.Host.ProcessMessages();
  EXPECT_TRUE(SameImage(rig.Host.Screen(), Solid(8, 6, clBlack)));
}

TEST(PlayerPainting, ClearLeavesOnlyTheBackgroundButNotDuringATransition) {
  TPlayerRig rig(false);
  const TBitmap picture = Pattern(12, 8);
  rig.Player.SetPicture(&picture);
  rig.Player.SetStep(100);
  rig.Player.Execute();
  ASSERT_TRUE(SameImage(rig.Host.Screen(), picture));
  rig.Player.Clear();
  rig.Host.ProcessMessages();
  EXPECT_TRUE(SameImage(rig.Host.Screen(), Solid(12, 8, TPlayerRig::kBackground)));

  rig.Player.SetManual(true);
  rig.Player.Execute();
  rig.Player.SetProgress(100);
  rig.Player.Clear();
  rig.Host.Invalidate({0, 0, 12, 8});
  rig.Host.ProcessMessages();
  EXPECT_TRUE(SameImage(rig.Host.Screen(), picture));
}

}  // namespace
}  // namespace kestrava
