#include <gtest/gtest.h>

#include <string>

#include "SwfBuilder.h"
#include "movie/MovieTimeline.h"

namespace kestrava {
namespace {

using namespace test;

TMovieTimeline Timeline(const std::vector<TBytes>& tags, uint8_t version = 6) {
  return TMovieTimeline(TSwfMovie::Load(Movie(tags, version)));
}

// "depth:character@x" for every object on show, sprites' own objects in brackets.
std::string Describe(const std::vector<TDisplayItem>& items) {
  std::string out;
  for (const TDisplayItem& item : items) {
    if (!out.empty()) out += " ";
    out += std::to_string(item.Depth) + ":" + std::to_string(item.CharacterId);
    if (item.Matrix.TranslateX != 0) out += "@" + std::to_string(int(item.Matrix.TranslateX));
    if (!item.Children.empty()) out += "[" + Describe(item.Children) + "]";
  }
  return out;
}

std::string Shown(const TMovieTimeline& timeline) {
  return Describe(timeline.Frame().Items);
}

std::vector<std::string> PlayFor(TMovieTimeline& timeline, int advances) {
  std::vector<std::string> shown = {Shown(timeline)};
  for (int i = 0; i < advances; ++i) {
    timeline.Advance();
    shown.push_back(Shown(timeline));
  }
  return shown;
}

TEST(MovieTimeline, FollowsPlaceAndRemoveFrameByFrame) {
  auto timeline = Timeline({
      DefineShape(1),
      DefineShape(2),
      PlaceObject2(Place(3, 1).At(100, 0)),
      PlaceObject2(Place(1, 2)),
      ShowFrame(),
      PlaceObject2(Place(3).Moving().At(200, 0)),  // move: the matrix changes only
      PlaceObject2(Place(1, 1)),                   // placing on a taken depth is refused
      ShowFrame(),
      PlaceObject2(Place(3, 2).Moving()),  // replace: the matrix stays
      PlaceObject2(Place(5, 1).Moving()),  // a move onto an empty depth places
      PlaceObject2(Place(6, 99)),          // no such character: nothing
      ShowFrame(),
      RemoveObject2(3),
      Tag(5, Join({U16(2), U16(1)})),  // RemoveObject(character 2, depth 1)
      ShowFrame(),
  });
  EXPECT_EQ(PlayFor(timeline, 4),
            (std::vector<std::string>{"1:2 3:1@100", "1:2 3:1@200", "1:2 3:2@200 5:1", "5:1",
                                      "1:2 3:1@100"}));
}

// Characters of each kind for the swap rule; the timeline reads only their ids.
const std::vector<TBytes> kOneOfEachKind = {
    DefineShape(1),
    DefineShape(2),
    Tag(46, Join({U16(3), U16(0)})),  // morph shapes
    Tag(46, Join({U16(4), U16(0)})),
    Tag(11, Join({U16(5), U16(0)})),  // static text
    Tag(34, Join({U16(6), U16(0)})),  // buttons
    Tag(34, Join({U16(7), U16(0)})),
    Tag(37, Join({U16(8), U16(0)})),  // edit text
    DefineSprite(10, {ShowFrame()}),
    DefineSprite(11, {ShowFrame()}),
};

TEST(MovieTimeline, AMoveSwapsTheCharacterOnlyBetweenStaticGraphicsOfOneKind) {
  const struct {
    int from, to, shown;
  } cases[] = {
      {1, 2, 2},    {3, 4, 4},  {1, 3, 1}, {3, 1, 3}, {5, 1, 5}, {1, 5, 1},
      {1, 10, 1},   {10, 1, 10}, {10, 11, 10}, {1, 6, 1}, {6, 7, 6}, {6, 1, 6},
      {8, 1, 8},    {1, 99, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
    std::vector<TBytes> tags = kOneOfEachKind;
    tags.insert(tags.end(), {PlaceObject2(Place(1, c.from)), ShowFrame(),
                             PlaceObject2(Place(1, c.to).Moving().At(7, 0)), ShowFrame()});
    auto timeline = Timeline(tags);
    timeline.Advance();
    // The move's other fields apply whether or not the character is swapped.
    EXPECT_EQ(Shown(timeline), "1:" + std::to_string(c.shown) + "@7");
  }
}

TEST(MovieTimeline, JumpsFollowTheSwapRule) {
  // Shape 1 becomes shape 2, then refuses sprite 10: both ways of reaching frame 3 show 2.
  const std::vector<TBytes> frames = {
      PlaceObject2(Place(1, 1)),
      ShowFrame(),
      PlaceObject2(Place(1, 2).Moving()),
      ShowFrame(),
      PlaceObject2(Place(1, 10).Moving()),
      ShowFrame(),
      DoAction({GotoFrame(1), Stop()}),
      ShowFrame(),
  };
  std::vector<TBytes> stepped = kOneOfEachKind;
  stepped.insert(stepped.end(), frames.begin(), frames.end());
  auto stepping = Timeline(stepped);
  EXPECT_EQ(PlayFor(stepping, 3), (std::vector<std::string>{"1:1", "1:2", "1:2", "1:2"}));

  std::vector<TBytes> jumped = kOneOfEachKind;
  jumped.push_back(DoAction({GotoFrame(2), Stop()}));
  jumped.insert(jumped.end(), frames.begin(), frames.end());
  auto jumping = Timeline(jumped);
  EXPECT_EQ(jumping.CurrentFrame(), 2);
  EXPECT_EQ(Shown(jumping), "1:2");
}

TEST(MovieTimeline, KeepsTheFieldsEachPlacementStates) {
  TBytes placeObject3 = {0x02 | 0x40 | 0x10, 0x02 | 0x01};  // character, clip depth, ratio;
  Append(placeObject3, U16(4));                             // blend mode and filters
  Append(placeObject3, U16(1));
  Append(placeObject3, U16(300));                         // ratio
  Append(placeObject3, U16(9));                           // clip depth
  Append(placeObject3, {2, 1, 0, 0, 1, 0, 0, 0, 1, 0, 1,  // two filters: blur and glow
                        2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0});
  placeObject3.push_back(12);    // blend mode: add
  TBytes hidden = {0x02, 0x20};  // character, visible flag
  Append(hidden, U16(5));
  Append(hidden, U16(1));
  hidden.push_back(0);
  TBytes withColour = Join({U16(1), U16(6), {0x00}, {0x4C, 0x40, 0x20, 0x10}});  // PlaceObject
  auto timeline =
      Timeline({DefineShape(1), Tag(70, placeObject3), Tag(70, hidden), Tag(4, withColour),
                PlaceObject2(Place(7, 1).Named("named").WithRatio(5).Clipping(8)), ShowFrame(),
                PlaceObject2(Place(7).Moving().At(20, 0)), ShowFrame()});
  timeline.Advance();
  const TDisplayFrame frame = timeline.Frame();
  ASSERT_EQ(frame.Items.size(), 3u);  // the hidden one is not on show
  EXPECT_EQ(frame.Items[0].Ratio, 300);
  EXPECT_EQ(frame.Items[0].ClipDepth, 9);
  EXPECT_EQ(frame.Items[0].BlendMode, 12);
  EXPECT_EQ(frame.Items[1].Depth, 6);
  EXPECT_FALSE(frame.Items[1].ColorTransform.IsIdentity());
  // After a move, what it does not state stays.
  EXPECT_EQ(frame.Items[2].Name, "named");
  EXPECT_EQ(frame.Items[2].Ratio, 5);
  EXPECT_EQ(frame.Items[2].ClipDepth, 8);
  EXPECT_EQ(frame.Items[2].Matrix.TranslateX, 20);
}

TEST(MovieTimeline, PlaysEverySpriteOnItsOwnTimeline) {
  auto timeline = Timeline({
      DefineShape(1),
      DefineShape(2),
      // Three frames looping: shape 1 at x 10, 20, then 30.
      DefineSprite(10, {PlaceObject2(Place(1, 1).At(10, 0)), ShowFrame(),
                        PlaceObject2(Place(1).Moving().At(20, 0)), ShowFrame(),
                        PlaceObject2(Place(1).Moving().At(30, 0)), ShowFrame()}),
      // Two frames, the second stops it.
      DefineSprite(11, {PlaceObject2(Place(1, 2)), ShowFrame(), DoAction({Stop()}),
                        PlaceObject2(Place(2, 1)), ShowFrame()}),
      PlaceObject2(Place(1, 10)),
      PlaceObject2(Place(2, 11)),
      ShowFrame(),
      DoAction({Stop()}),
      ShowFrame(),
  });
  EXPECT_EQ(PlayFor(timeline, 4),
            (std::vector<std::string>{"1:10[1:1@10] 2:11[1:2]", "1:10[1:1@20] 2:11[1:2 2:1]",
                                      "1:10[1:1@30] 2:11[1:2 2:1]", "1:10[1:1@10] 2:11[1:2 2:1]",
                                      "1:10[1:1@20] 2:11[1:2 2:1]"}));
  EXPECT_EQ(timeline.CurrentFrame(), 1);
  EXPECT_TRUE(timeline.Stopped());
  EXPECT_TRUE(timeline.ReachedEnd());
  EXPECT_TRUE(timeline.SpritesPlaying());  // sprite 10 loops on
}

TEST(MovieTimeline, LoopsBackRebuildingWhatTheFirstFramePlaced) {
  auto timeline = Timeline({
      DefineShape(1),
      DefineShape(2),
      DefineSprite(10, {PlaceObject2(Place(1, 1).At(10, 0)), ShowFrame(),
                        PlaceObject2(Place(1).Moving().At(20, 0)), ShowFrame(),
                        PlaceObject2(Place(1).Moving().At(30, 0)), ShowFrame(),
                        PlaceObject2(Place(1).Moving().At(40, 0)), ShowFrame()}),
      PlaceObject2(Place(1, 10)),
      PlaceObject2(Place(2, 1).At(5, 0)),
      PlaceObject2(Place(4, 1)),
      ShowFrame(),
      PlaceObject2(Place(2).Moving().At(6, 0)),
      PlaceObject2(Place(3, 2)),
      PlaceObject2(Place(4, 2).Moving()),
      ShowFrame(),
  });
  // Going back to the first frame: depth 3 goes (placed later), depth 2 takes its first
  // placement again, depth 4 its first character, and the sprite plays on where it was.
  EXPECT_EQ(PlayFor(timeline, 3),
            (std::vector<std::string>{"1:10[1:1@10] 2:1@5 4:1", "1:10[1:1@20] 2:1@6 3:2 4:2",
                                      "1:10[1:1@30] 2:1@5 4:1", "1:10[1:1@40] 2:1@6 3:2 4:2"}));
  EXPECT_FALSE(timeline.Stopped());
  EXPECT_TRUE(timeline.ReachedEnd());
}

TEST(MovieTimeline, ReachesTheEndOnlyOnTheLastFrame) {
  auto timeline = Timeline({ShowFrame(), ShowFrame(), ShowFrame()});
  EXPECT_FALSE(timeline.ReachedEnd());
  timeline.Advance();
  EXPECT_FALSE(timeline.ReachedEnd());
  timeline.Advance();
  EXPECT_TRUE(timeline.ReachedEnd());
  timeline.Advance();
  EXPECT_EQ(timeline.CurrentFrame(), 0);
  EXPECT_TRUE(timeline.ReachedEnd());  // once is enough

  auto single = Timeline({DefineShape(1), PlaceObject2(Place(1, 1)), ShowFrame()});
  EXPECT_TRUE(single.Stopped());
  EXPECT_TRUE(single.ReachedEnd());
  EXPECT_FALSE(single.SpritesPlaying());
  single.Advance();
  EXPECT_EQ(Shown(single), "1:1");

  // One root frame, and a sprite that plays two frames then stops itself.
  auto stopping = Timeline({DefineSprite(5, {ShowFrame(), DoAction({Stop()}), ShowFrame()}),
                            PlaceObject2(Place(1, 5)), ShowFrame()});
  EXPECT_TRUE(stopping.SpritesPlaying());
  stopping.Advance();
  EXPECT_FALSE(stopping.SpritesPlaying());
}

TEST(MovieTimeline, AJumpForwardCreatesOnlyWhatOutlastsIt) {
  const TBytes tracing = DefineSprite(5, {DoAction({TraceText("born")}), ShowFrame()});
  auto timeline = Timeline({
      tracing,
      DefineShape(1),
      DoAction({GotoFrame(3), Play()}),
      ShowFrame(),
      PlaceObject2(Place(1, 5)),
      PlaceObject2(Place(2, 1).At(1, 0)),
      ShowFrame(),
      RemoveObject2(1),
      PlaceObject2(Place(2).Moving().At(2, 0)),
      ShowFrame(),
      PlaceObject2(Place(3, 5)),
      DoAction({TraceText("frame 4")}),
      ShowFrame(),
  });
  // The script of the target frame comes before the script of what the jump created.
  EXPECT_EQ(timeline.TakeTrace(), (std::vector<std::string>{"frame 4", "born"}));
  EXPECT_EQ(Shown(timeline), "2:1@2 3:5");
  EXPECT_EQ(timeline.CurrentFrame(), 3);
}

TEST(MovieTimeline, ScriptsSteerTheRootAndNamedSprites) {
  auto timeline = Timeline({
      DefineShape(1),
      DefineSprite(5, {PlaceObject2(Place(1, 1).At(1, 0)), ShowFrame(),
                       PlaceObject2(Place(1).Moving().At(2, 0)), FrameLabel("two"), ShowFrame(),
                       PlaceObject2(Place(1).Moving().At(3, 0)), ShowFrame()}),
      PlaceObject2(Place(1, 5).Named("spin")),
      // tellTarget("spin") { gotoAndStop("two"); }
      DoAction({SetTarget("spin"), GotoLabel("two"), SetTarget("")}),
      ShowFrame(),
      // if (counter == undefined) counter = 0; counter++; trace(counter); stays playing
      DoAction({PushText("counter"), PushText("counter"), GetVariable(), Action(0x50),
                SetVariable(), PushText("counter"), GetVariable(), Trace()}),
      ShowFrame(),
  });
  EXPECT_EQ(Shown(timeline), "1:5[1:1@2]");
  timeline.Advance();
  timeline.Advance();
  timeline.Advance();
  EXPECT_EQ(Shown(timeline), "1:5[1:1@2]");  // the sprite stays stopped at "two"
  EXPECT_EQ(timeline.TakeTrace(), (std::vector<std::string>{"1", "2"}));
}

TEST(MovieTimeline, RunsInitActionsOnce) {
  TBytes init = Join({U16(5), TraceText("init"), {0}});
  auto timeline = Timeline({DefineSprite(5, {ShowFrame()}), Tag(59, init),
                            DoAction({TraceText("frame")}), ShowFrame(), ShowFrame()});
  PlayFor(timeline, 3);
  EXPECT_EQ(timeline.TakeTrace(), (std::vector<std::string>{"init", "frame", "frame"}));
}

TEST(MovieTimeline, AsksForSoundsOnTheFramesThatHaveThem) {
  const TBytes head = Tag(18, {0x08, 0x02, 0x00, 0x02});
  const TBytes block = Tag(19, {1, 2, 3});
  auto timeline = Timeline({
      Tag(14, Join({U16(7), {0x3F}, U32(4), {0, 0, 0, 0}})),  // DefineSound
      DefineSprite(5, {head, block, ShowFrame(), block, ShowFrame()}),
      head,
      Tag(15, Join({U16(7), {0x00}})),
      PlaceObject2(Place(1, 5)),
      block,
      ShowFrame(),
      block,
      DoAction({Action(0x09)}),
      ShowFrame(),
  });
  using K = TSoundEvent::TKind;
  const std::vector<TSoundEvent> first = timeline.TakeSoundEvents();
  ASSERT_EQ(first.size(), 5u);
  EXPECT_EQ(first[0].Kind, K::StreamHead);
  EXPECT_EQ(first[0].Data.size(), 4u);
  EXPECT_EQ(first[1].Kind, K::Start);
  EXPECT_EQ(first[1].SoundId, 7);
  EXPECT_EQ(first[1].Data.size(), 1u);  // the SOUNDINFO
  EXPECT_EQ(first[2].Kind, K::StreamHead);
  EXPECT_EQ(first[3].Kind, K::StreamBlock);
  EXPECT_EQ(first[4].Kind, K::StreamBlock);
  // The sprite streams on a timeline of its own.
  EXPECT_NE(first[2].Timeline, first[0].Timeline);
  EXPECT_EQ(first[3].Timeline, first[2].Timeline);
  EXPECT_EQ(first[4].Timeline, first[0].Timeline);
  EXPECT_TRUE(timeline.TakeSoundEvents().empty());

  timeline.Advance();
  std::vector<K> kinds;
  for (const TSoundEvent& event : timeline.TakeSoundEvents())
    kinds.push_back(event.Kind);
  EXPECT_EQ(kinds, (std::vector<K>{K::StreamBlock, K::StreamBlock, K::StopAll}));
}

TEST(MovieTimeline, BoundsSpritesThatPlaceThemselves) {
  // Each instance of sprite 5 places two more of itself: without limits, without end.
  auto timeline = Timeline({
      DefineSprite(
          5, {PlaceObject2(Place(1, 5)), PlaceObject2(Place(2, 5)), ShowFrame(), ShowFrame()}),
      PlaceObject2(Place(1, 5)),
      ShowFrame(),
  });
  for (int i = 0; i < 5; ++i)
    timeline.Advance();
  const TDisplayFrame frame = timeline.Frame();
  ASSERT_EQ(frame.Items.size(), 1u);
  int deepest = 0;
  for (const TDisplayItem* item = &frame.Items[0]; !item->Children.empty();
       item = &item->Children[0])
    ++deepest;
  EXPECT_LE(deepest, 24);
}

TEST(MovieTimeline, KeepsPlayingWhenAScriptNeverEnds) {
  auto timeline = Timeline({
      DoAction({TraceText("once"), Jump(-5)}),
      ShowFrame(),
      DoAction({TraceText("second")}),
      ShowFrame(),
  });
  timeline.Advance();
  EXPECT_EQ(timeline.CurrentFrame(), 1);
  EXPECT_EQ(timeline.TakeTrace(), (std::vector<std::string>{"once", "second"}));
}

TEST(MovieTimeline, IgnoresDamagedTags) {
  auto timeline = Timeline({
      DefineShape(1),
      Tag(26, {0x06}),        // PlaceObject2 without its depth
      Tag(70, {0x02}),        // PlaceObject3 without its second flags
      Tag(28, {}),            // RemoveObject2 without a depth
      Tag(15, {7}),           // StartSound without its id
      Tag(12, {0x96, 0x40}),  // DoAction cut inside a record
      Tag(59, {5}),           // DoInitAction without its sprite
      PlaceObject2(Place(2, 1)),
      ShowFrame(),
  });
  timeline.Advance();
  EXPECT_EQ(Shown(timeline), "2:1");
  EXPECT_TRUE(timeline.TakeSoundEvents().empty());
}

TEST(MovieTimeline, NamesUnnamedSpritesAndTellsCaseByVersion) {
  const std::vector<TBytes> tags = {DefineSprite(5, {ShowFrame()}), PlaceObject2(Place(1, 5)),
                                    PlaceObject2(Place(2, 5).Named("Ball")),
                                    DoAction({PushText("instance1"), GetVariable(), Trace(),
                                              PushText("ball"), GetVariable(), Trace()}),
                                    ShowFrame()};
  auto six = Timeline(tags, 6);
  auto seven = Timeline(tags, 7);
  EXPECT_EQ(six.TakeTrace(), (std::vector<std::string>{"_level0.instance1", "_level0.Ball"}));
  EXPECT_EQ(seven.TakeTrace(), (std::vector<std::string>{"_level0.instance1", "undefined"}));
}

}  // namespace
}  // namespace kestrava
