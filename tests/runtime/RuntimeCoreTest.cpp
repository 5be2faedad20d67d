#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "runtime/core/RuntimeOptions.h"
#include "runtime/core/SaverDescription.h"
#include "runtime/core/SlideSchedule.h"
#include "runtime/core/StyleChooser.h"
#include "saver/SaverFormat.h"

namespace kestrava {
namespace {

TEST(RuntimeOptions, StartArguments) {
  struct Case {
    std::vector<std::string> args;
    const char* env;
    TRunMode mode;
    uint64_t window;
  };
  const Case cases[] = {
      {{}, nullptr, TRunMode::FullScreen, 0},
      {{"/s"}, nullptr, TRunMode::FullScreen, 0},
      {{"/S"}, nullptr, TRunMode::FullScreen, 0},
      {{"/c"}, nullptr, TRunMode::Configure, 0},
      {{"/c:1234"}, nullptr, TRunMode::Configure, 1234},
      {{"/C:0x1a2b"}, nullptr, TRunMode::Configure, 0x1a2b},
      {{"-c"}, nullptr, TRunMode::Configure, 0},
      {{"/p", "4567"}, nullptr, TRunMode::Preview, 4567},
      {{"/P", "4567"}, nullptr, TRunMode::Preview, 4567},
      {{"/p:4567"}, nullptr, TRunMode::Preview, 4567},
      {{"/P4567"}, nullptr, TRunMode::Preview, 4567},
      {{"/p"}, nullptr, TRunMode::Preview, 0},
      {{"-window-id", "0x2a00007"}, nullptr, TRunMode::InWindow, 0x2a00007},
      {{"-window-id", "12345"}, nullptr, TRunMode::InWindow, 12345},
      {{}, "0x1c00003", TRunMode::InWindow, 0x1c00003},
      {{"-root"}, nullptr, TRunMode::InWindow, 0},
      // XScreenSaver 6 passes the double-dash forms.
      {{"--root"}, nullptr, TRunMode::InWindow, 0},
      {{"--window-id", "0x2a00007"}, nullptr, TRunMode::InWindow, 0x2a00007},
      // ... with its own window in the environment, which the saver then draws into.
      {{"--root"}, "0x1c00003", TRunMode::InWindow, 0x1c00003},
      {{"--help"}, nullptr, TRunMode::Help, 0},
      {{"--frames", "10", "--dump", "/tmp/x"}, nullptr, TRunMode::Dump, 0},
  };
  for (const Case& c : cases) {
    const TRuntimeOptions options = ParseRuntimeOptions(c.args, c.env);
    EXPECT_EQ(options.Mode, c.mode) << (c.args.empty() ? "(none)" : c.args[0]);
    EXPECT_EQ(options.WindowId, c.window);
  }
  const TRuntimeOptions dump = ParseRuntimeOptions(
      {"--frames", "3", "--dump", "d", "--size", "64x48", "--seed", "9", "--payload", "f.scr"},
      nullptr);
  EXPECT_EQ(dump.Frames, 3);
  EXPECT_EQ(dump.Width, 64);
  EXPECT_EQ(dump.Height, 48);
  EXPECT_EQ(dump.Seed, 9u);
  EXPECT_EQ(dump.Payload, "f.scr");
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--frames", "0", "--dump", "d"},
                                             {"--frames", "5"},
                                             {"--dump", "d"},
                                             {"--size", "big"},
                                             {"-window-id", "zz"},
                                             {"/p", "window"},
                                             {"/p:"},
                                             {"/c:x1"},
                                             {"--bogus"}})
    EXPECT_THROW(ParseRuntimeOptions(bad, nullptr), ERuntimeUsage) << bad[0];
}

// An interval of 1 second is 25 ticks of 40 ms on show, then 25 of transition (Step 4).
TEST(SaverDescription, CountsWhatTheSaverShows) {
  struct Case {
    bool flash;
    size_t shown, music;
    const char* sentence;
  };
  const Case cases[] = {
      {false, 12, 1, "This saver shows 12 pictures with music."},
      {false, 1, 0, "This saver shows 1 picture."},
      {false, 3, 2, "This saver shows 3 pictures with music."},
      {true, 1, 0, "This saver shows 1 Flash movie."},
      {true, 2, 1, "This saver shows 2 Flash movies with music."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HoldsSentence(c.flash, c.shown, c.music), c.sentence);
}

TEST(SlideSchedule, HoldsThenPasses) {
  const TSlideSchedule schedule(1);
  struct Case {
    int64_t tick;
    int64_t slide;
    int progress;
  };
  const Case cases[] = {{0, 0, 0},    {24, 0, 0}, {25, 0, 4},   {26, 0, 8},
                        {49, 0, 100}, {50, 1, 0}, {99, 1, 100}, {100, 2, 0}};
  for (const Case& c : cases) {
    const TSlideMoment m = schedule.At(c.tick, false);
    EXPECT_EQ(m.Slide, c.slide) << c.tick;
    EXPECT_EQ(m.Progress, c.progress) << c.tick;
  }
  // A plain cut takes no ticks; an interval below 1 counts as 1.
  EXPECT_EQ(TSlideSchedule(0).At(25, true).Slide, 1);
  EXPECT_EQ(TSlideSchedule(-5).HoldTicks(), 25);
  EXPECT_EQ(TSlideSchedule(8).HoldTicks(), 200);
}

// However large the stored interval, the picture is held at most a day, and the transition
// follows the hold: 85899346 seconds once overflowed the tick count and started it at once.
TEST(SlideSchedule, LongIntervalsAreHeldADay) {
  constexpr int64_t kDayTicks = int64_t{kMaxIntervalSeconds} * 25;
  const struct {
    int interval;
    int64_t holdTicks;
  } cases[] = {{INT_MIN, 25},
               {kMaxIntervalSeconds - 1, kDayTicks - 25},
               {kMaxIntervalSeconds, kDayTicks},
               {kMaxIntervalSeconds + 1, kDayTicks},
               {85899345, kDayTicks},
               {85899346, kDayTicks},
               {INT_MAX / 25 + 1, kDayTicks},
               {INT_MAX, kDayTicks}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.interval);
    const TSlideSchedule schedule(c.interval);
    EXPECT_EQ(schedule.HoldTicks(), c.holdTicks);
    EXPECT_EQ(schedule.At(c.holdTicks - 1, false).Progress, 0);
    EXPECT_EQ(schedule.At(c.holdTicks, false).Progress, 4);
    EXPECT_EQ(schedule.At(c.holdTicks + 25, false).Slide, 1);
    EXPECT_EQ(schedule.At(c.holdTicks, true).Slide, 1);
  }
}

TEST(StyleChooser, OnlyFlaggedStylesAndEveryOne) {
  TEffectFlags flags{};
  for (const int style : {3, 52, 118, 122})
    flags[size_t(style)] = 1;
  TStyleChooser chooser(flags, 7);
  std::set<int> seen;
  for (int i = 0; i < 400; ++i)
    seen.insert(chooser.Next());
  EXPECT_EQ(seen, (std::set<int>{3, 52, 118, 122}));
  // Byte 0 is no style; nothing flagged means a plain cut.
  TEffectFlags none{};
  none[0] = 1;
  EXPECT_EQ(TStyleChooser(none, 1).Next(), 0);
}

}  // namespace
}  // namespace kestrava
