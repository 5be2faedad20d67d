// The script runner against a fake host that records what the scripts ask for.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "SwfBuilder.h"
#include "movie/ActionRunner.h"

namespace kestrava {
namespace {

using namespace test;

// Clips: the root (1) holds "a" (2), which holds "b" (3). Frame labels: "intro" at frame 4.
class TFakeHost final : public IActionHost {
 public:
  explicit TFakeHost(uint8_t version = 6) : version_(version) {}

  std::vector<std::string> Log;
  std::vector<std::string> Traced;
  std::map<std::pair<uint64_t, std::string>, TActionValue> Variables;

  uint8_t Version() const override { return version_; }
  uint64_t RootClip() const override { return 1; }
  uint64_t ParentClip(uint64_t clip) const override { return clip > 1 ? clip - 1 : 0; }
  uint64_t ChildClip(uint64_t clip, std::string_view name) const override {
    if (clip == 1 && name == "a") return 2;
    if (clip == 2 && name == "b") return 3;
    return 0;
  }
  std::string ClipPath(uint64_t clip) const override {
    return clip == 1 ? "_level0" : clip == 2 ? "_level0.a" : "_level0.a.b";
  }
  std::optional<TActionValue> ClipProperty(uint64_t clip, std::string_view name) const override {
    if (name == "_currentframe") return TActionValue::Of(double(clip * 10));
    return std::nullopt;
  }
  const TActionValue* ClipVariable(uint64_t clip, const std::string& name) const override {
    const auto it = Variables.find({clip, name});
    return it == Variables.end() ? nullptr : &it->second;
  }
  void SetClipVariable(uint64_t clip, const std::string& name, TActionValue value) override {
    Variables[{clip, name}] = std::move(value);
  }
  void GotoFrame(uint64_t clip, int frame, bool play) override {
    Log.push_back("goto " + std::to_string(clip) + " " + std::to_string(frame) +
                  (play ? " play" : " stop"));
  }
  bool GotoLabel(uint64_t clip, const std::string& label, bool play) override {
    if (label != "intro") return false;
    GotoFrame(clip, 4, play);
    return true;
  }
  void Play(uint64_t clip) override { Log.push_back("play " + std::to_string(clip)); }
  void Stop(uint64_t clip) override { Log.push_back("stop " + std::to_string(clip)); }
  void NextFrame(uint64_t clip) override { Log.push_back("next " + std::to_string(clip)); }
  void PrevFrame(uint64_t clip) override { Log.push_back("prev " + std::to_string(clip)); }
  int LabelFrame(uint64_t, const std::string& label) const override {
    return label == "intro" ? 4 : -1;
  }
  std::vector<std::span<const uint8_t>> FrameActions(uint64_t, int frame) const override {
    if (frame == 2) return {called_};
    return {};
  }
  double ElapsedMilliseconds() const override { return 1234.5; }
  void StopSounds() override { Log.push_back("stop sounds"); }
  void Trace(std::string line) override { Traced.push_back(std::move(line)); }

 private:
  uint8_t version_;
  TBytes called_ = Join({TraceText("called"), {0}});
};

struct TRun {
  TFakeHost Host;
  int64_t Budget = 1000;
  explicit TRun(uint8_t version = 6) : Host(version) {}
  TRun& operator()(const TBytes& code, uint64_t clip = 1) {
    TActionRunner(Host, Budget).Run(clip, code);
    return *this;
  }
};

TBytes Push(std::initializer_list<TBytes> values) {
  return Action(0x96, Join(values));
}
TBytes Str(const std::string& text) {
  return Join({{0x00}, Text(text)});
}
TBytes Int(int32_t value) {
  return Join({{0x07}, U32(uint32_t(value))});
}
TBytes Dbl(double value) {
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  return Join({{0x06}, U32(uint32_t(bits >> 32)), U32(uint32_t(bits))});
}
TBytes Flt(float value) {
  return Join({{0x01}, U32(std::bit_cast<uint32_t>(value))});
}

TEST(ActionRunner, PushesEveryKindOfValue) {
  TRun run;
  run(Join({Action(0x88, Join({U16(2), Text("first"), Text("second")})),  // constant pool
            Push({Str("text"),
                  Flt(1.5f),
                  {0x02},
                  {0x03},
                  {0x05, 0x01},
                  Dbl(-2.25),
                  Int(42),
                  {0x08, 0x01},
                  {0x09, 0x00, 0x00},
                  {0x08, 0x09}}),
            Trace(), Trace(), Trace(), Trace(), Trace(), Trace(), Trace(), Trace(), Trace(),
            Trace(),
            // A register: 7 stored in register 2, pushed back.
            Push({Int(7)}), Action(0x87, {2}), Action(0x17), Push({{0x04, 0x02}}), Trace()}));
  EXPECT_EQ(run.Host.Traced,
            (std::vector<std::string>{"undefined", "first", "second", "42", "-2.25", "true",
                                      "undefined", "null", "1.5", "text", "7"}));
}

TEST(ActionRunner, ComputesAsThePlayerDoes) {
  struct Case {
    const char* name;
    TBytes code;
    const char* traced;
  };
  const TBytes add2 = Action(0x47), less2 = Action(0x48), equals2 = Action(0x49);
  const Case cases[] = {
      {"numbers add", Join({Push({Int(2), Int(3)}), add2}), "5"},
      {"text joins", Join({Push({Str("a"), Int(3)}), add2}), "a3"},
      {"subtract", Join({Push({Int(2), Int(3)}), Action(0x0B)}), "-1"},
      {"divide by zero", Join({Push({Int(1), Int(0)}), Action(0x0D)}), "Infinity"},
      {"modulo", Join({Push({Int(7), Int(3)}), Action(0x3F)}), "1"},
      {"less", Join({Push({Int(2), Int(3)}), less2}), "true"},
      {"less with NaN", Join({Push({Str("x"), Int(3)}), less2}), "undefined"},
      {"greater", Join({Push({Int(2), Int(3)}), Action(0x67)}), "false"},
      {"text compares", Join({Push({Str("b"), Str("a")}), less2}), "false"},
      {"number equals text", Join({Push({Int(5), Str("5")}), equals2}), "true"},
      {"undefined equals null", Join({Push({{0x03}, {0x02}}), equals2}), "true"},
      {"strictly not", Join({Push({Int(5), Str("5")}), Action(0x66)}), "false"},
      {"increment", Join({Push({Str("41")}), Action(0x50)}), "42"},
      {"to integer", Join({Push({Dbl(-3.7)}), Action(0x18)}), "-3"},
      {"string length", Join({Push({Str("four")}), Action(0x14)}), "4"},
      {"extract", Join({Push({Str("abcdef"), Int(2), Int(3)}), Action(0x15)}), "bcd"},
      {"bits", Join({Push({Int(12), Int(10)}), Action(0x60)}), "8"},
      {"shift", Join({Push({Int(-8), Int(1)}), Action(0x65)}), "2147483644"},
      {"not", Join({Push({Int(0)}), Action(0x12)}), "true"},
      {"type of", Join({Push({Int(0)}), Action(0x44)}), "number"},
      {"getTimer", Action(0x34), "1234"},
      {"random stays below its limit", Join({Push({Int(1)}), Action(0x30)}), "0"},
      {"empty stack", Action(0x47), "NaN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRun run(7);
    run(Join({c.code, Trace()}));
    ASSERT_EQ(run.Host.Traced.size(), 1u);
    EXPECT_EQ(run.Host.Traced[0], c.traced);
  }
}

TEST(ActionRunner, OlderVersionsTurnUndefinedIntoNothing) {
  // "x" + undefined, and undefined as a number, before and from version 7.
  const TBytes code = Join({Push({Str("x"), {0x03}}), Action(0x47), Trace(), Push({{0x03}, Int(1)}),
                            Action(0x47), Trace()});
  TRun six(6), seven(7);
  six(code);
  seven(code);
  EXPECT_EQ(six.Host.Traced, (std::vector<std::string>{"x", "1"}));
  EXPECT_EQ(seven.Host.Traced, (std::vector<std::string>{"xundefined", "NaN"}));
}

TEST(ActionRunner, FormatsNumbersAsThePlayerPrintsThem) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {42, "42"},
      {-1.5, "-1.5"},
      {0.1 + 0.2, "0.3"},
      {1e21, "1e+21"},
      {1.5e-7, "1.5e-7"},
      {123456789012, "123456789012"},
      {NAN, "NaN"},
      {INFINITY, "Infinity"},
      {-INFINITY, "-Infinity"},
  };
  for (const auto& [number, text] : cases)
    EXPECT_EQ(FormatNumber(number), text) << number;
}

TEST(ActionRunner, ControlsTheTargetTimeline) {
  TRun run;
  run(Join({Stop(), Play(), Action(0x04), Action(0x05), GotoFrame(3), GotoLabel("intro"),
            GotoLabel("missing"), Action(0x09),
            // tellTarget("a") { stop(); } and back; then a path to "b"
            // Each path starts from the script's own timeline, not from the last target.
            SetTarget("a"), Stop(), SetTarget(""), Stop(), SetTarget("/a/b"), Play(),
            SetTarget("a/b"), Stop(), SetTarget("nowhere"), Play(), GotoFrame(1)}));
  EXPECT_EQ(run.Host.Log, (std::vector<std::string>{"stop 1", "play 1", "next 1", "prev 1",
                                                    "goto 1 3 stop", "goto 1 4 stop", "stop sounds",
                                                    "stop 2", "stop 1", "play 3", "stop 3"}));
}

TEST(ActionRunner, GoesToFramesGivenAsValues) {
  struct Case {
    const char* name;
    TBytes value;
    uint8_t flags;       // 1: play, 2: a scene bias of 10 follows
    const char* logged;  // nullptr: no goto
  };
  const Case cases[] = {
      {"number", Push({Int(3)}), 0, "goto 1 2 stop"},
      {"fraction", Push({Dbl(4.9)}), 1, "goto 1 3 play"},
      {"text number", Push({Str("7")}), 0, "goto 1 6 stop"},
      {"label", Push({Str("intro")}), 1, "goto 1 4 play"},
      {"path and frame", Push({Str("/a:5")}), 0, "goto 2 4 stop"},
      {"path and label", Push({Str("a/b:intro")}), 0, "goto 3 4 stop"},
      {"scene bias", Push({Int(2)}), 2, "goto 1 11 stop"},
      {"zero", Push({Int(0)}), 0, nullptr},
      {"negative text", Push({Str("-2")}), 0, nullptr},
      {"undefined", Push({{0x03}}), 0, nullptr},
      {"unknown label", Push({Str("nope")}), 0, nullptr},
      {"unknown path", Push({Str("/zz:3")}), 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRun run;
    TBytes data = {c.flags};
    if (c.flags & 2) Append(data, U16(10));
    run(Join({c.value, Action(0x9F, data)}));
    if (c.logged)
      EXPECT_EQ(run.Host.Log, std::vector<std::string>{c.logged});
    else
      EXPECT_TRUE(run.Host.Log.empty());
  }
}

TEST(ActionRunner, CallsTimelineMethodsOnClips) {
  TRun run;
  // a.gotoAndPlay(3); b via _root.a.b: stop(); gotoAndStop("Scene 2", 5) as a function.
  run(Join({Push({Int(3), Int(1), Str("a")}), GetVariable(), Push({Str("gotoAndPlay")}),
            Action(0x52), Action(0x17), Push({Int(0), Str("_root.a.b")}), GetVariable(),
            Push({Str("stop")}), Action(0x52), Action(0x17),
            Push({Int(5), Str("Scene 2"), Int(2), Str("gotoAndStop")}), Action(0x3D),
            Push({Int(0), Str("stopAllSounds")}), Action(0x3D),
            // A method of something that is no clip does nothing.
            Push({Int(0), Str("text"), Str("play")}), Action(0x52)}));
  EXPECT_EQ(run.Host.Log,
            (std::vector<std::string>{"goto 2 2 play", "stop 3", "goto 1 4 stop", "stop sounds"}));
}

TEST(ActionRunner, ReadsAndWritesVariablesAlongPaths) {
  TRun run;
  run(Join({Push({Str("n"), Int(1)}),
            SetVariable(),
            Push({Str("/a/b:deep"), Str("x")}),
            SetVariable(),
            Push({Str("_root.a.mid"), Str("y")}),
            SetVariable(),
            Push({Str("n")}),
            GetVariable(),
            Trace(),
            Push({Str("/a/b:deep")}),
            GetVariable(),
            Trace(),
            Push({Str("a.mid")}),
            GetVariable(),
            Trace(),
            Push({Str("_currentframe")}),
            GetVariable(),
            Trace(),
            Push({Str("a")}),
            GetVariable(),
            Trace(),
            Push({Str("this")}),
            GetVariable(),
            Trace(),
            Push({Str("a")}),
            GetVariable(),
            Push({Str("missing")}),
            Action(0x4E),
            Trace(),
            Push({Str(""), Int(4)}),
            Action(0x22),
            Trace()}));
  EXPECT_EQ(run.Host.Traced, (std::vector<std::string>{"1", "x", "y", "10", "_level0.a", "_level0",
                                                       "undefined", "10"}));
  EXPECT_EQ(run.Host.Variables.at({3, "deep"}).Text, "x");
  EXPECT_EQ(run.Host.Variables.at({2, "mid"}).Text, "y");
}

TEST(ActionRunner, BranchesAndCountsLoops) {
  TRun run;
  // i = 0; do { i++; } while (i < 5); trace(i)
  const TBytes body = Join({Push({Str("i"), Str("i")}), GetVariable(), Action(0x50), SetVariable(),
                            Push({Str("i")}), GetVariable(), Push({Int(5)}), Action(0x48)});
  const int16_t back = int16_t(-int(body.size() + If(0).size()));
  run(Join({Push({Str("i"), Int(0)}), SetVariable(), body, If(back), Push({Str("i")}),
            GetVariable(), Trace()}));
  EXPECT_EQ(run.Host.Traced, std::vector<std::string>{"5"});
}

TEST(ActionRunner, EndsScriptsThatMisbehave) {
  struct Case {
    const char* name;
    TBytes code;
    std::vector<std::string> traced;
  };
  const Case cases[] = {
      {"jump before the start", Join({TraceText("a"), Jump(-100), TraceText("b")}), {"a"}},
      {"jump past the end", Join({TraceText("a"), Jump(1000), TraceText("b")}), {"a"}},
      {"record longer than the script", Join({TraceText("a"), {0x96, 0xFF, 0x00, 0x00}}), {"a"}},
      {"record cut in its length", Join({TraceText("a"), {0x96, 0x05}}), {"a"}},
      {"field cut in a record", Join({TraceText("a"), Action(0x81, {1}), TraceText("b")}), {"a"}},
      {"unknown actions stepped over",
       Join({Action(0x77), Action(0xC0, {1, 2, 3}), TraceText("a")}),
       {"a"}},
      {"unknown push type", Join({Action(0x96, {0x00, 'a', 0, 0x33, 1, 2}), Trace()}), {"a"}},
      {"function bodies skipped",
       Join({Action(0x9B, Join({Text("f"), U16(0), U16(uint16_t(TraceText("in").size()))})),
             TraceText("in"), TraceText("out")}),
       {"out"}},
      {"return ends", Join({TraceText("a"), Action(0x3E), TraceText("b")}), {"a"}},
      {"call runs a frame's script",
       Join({Push({Int(3)}), Action(0x9E, {}), TraceText("after")}),
       {"called", "after"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TRun run;
    run(c.code);
    EXPECT_EQ(run.Host.Traced, c.traced);
  }
}

TEST(ActionRunner, CutsOffALoopAtItsBudgetAndRunsNothingMore) {
  TRun run;
  run.Budget = 5000;
  run(Jump(-5));  // jumps to itself forever
  EXPECT_LE(run.Budget, 0);
  run(TraceText("later"));
  EXPECT_TRUE(run.Host.Traced.empty());
}

}  // namespace
}  // namespace kestrava
