#include <gtest/gtest.h>

#include <set>
#include <string>

#include "transitions/TransitionEffects.h"

namespace kestrava {
namespace {

TEST(EffectCatalogue, HoldsOneHundredAndFiftyNamedEffects) {
  EXPECT_EQ(StyleNameOf(0), "Custom");
  EXPECT_EQ(EffectTable[0].Proc, nullptr);
  std::set<std::string_view> names;
  for (int style = 1; style <= kMaxTransitionStyle; ++style) {
    EXPECT_NE(EffectTable[style].Proc, nullptr) << style;
    EXPECT_FALSE(EffectTable[style].Name.empty()) << style;
    names.insert(EffectTable[style].Name);
  }
  // Two names are used twice (18 and 33, 25 and 34).
  EXPECT_EQ(names.size(), 148u);
  EXPECT_EQ(StyleNameOf(151), "");
}

TEST(EffectCatalogue, KeepsTheNamesLetterForLetter) {
  const std::pair<int, const char*> names[] = {
      {1, "Expand from right"},
      {18, "Expand from bottom"},
      {33, "Expand from bottom"},
      {29, "Slide in from top / bottom"},
      {76, "Unven shred from bottom"},
      {114, "Diagonal sweep from top left bottom right anticlockwise"},
      {134, "Push and sqeeze down"},
      {145, "Rectangles apear from left and disapear to right"},
      {150, "Rotational star"},
  };
  for (const auto& [style, name] : names) EXPECT_EQ(StyleNameOf(TTransitionStyle(style)), name);
}

TEST(EffectCatalogue, NamesSelectTheFirstMatchIgnoringCase) {
  const std::pair<const char*, std::optional<int>> lookups[] = {
      {"custom", 0},
      {"CUSTOM", 0},
      {"Expand from bottom", 18},
      {"eXPAND FROM BOTTOM", 18},
      {"Expand in from top", 25},
      {"push and sqeeze up", 135},
      {"Push and squeeze up", std::nullopt},
      {"Expand from bottom ", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [name, style] : lookups) {
    const std::optional<TTransitionStyle> found = StyleFromName(name);
    EXPECT_EQ(found ? std::optional<int>(*found) : std::nullopt, style) << '"' << name << '"';
  }
}

TEST(ProgressExtents, ScalesFromTheLargerSide) {
  struct Case {
    int w, h, step, progress;
    TProgressExtents expected;
  };
  const Case cases[] = {
      {640, 480, 4, 50, {640, 480, 320, 240, 28}},
      {480, 640, 4, 50, {480, 640, 240, 320, 28}},  // portrait: from the height
      {300, 300, 4, 33, {300, 300, 99, 99, 13}},    // square: the width branch
      {640, 480, 4, 25, {640, 480, 160, 120, 28}},
      {100, 50, 4, 1, {100, 50, 1, 1, 4}},          // 0.5 rounds up
      {11, 5, 4, 50, {11, 5, 6, 3, 0}},             // 44 / 90: u is 0
      {640, 480, 100, 99, {640, 480, 634, 476, 711}},  // 475.5 rounds up
  };
  for (const Case& c : cases) {
    const TProgressExtents e = ProgressExtents({0, 0, c.w, c.h}, uint16_t(c.step), c.progress);
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " step " << c.step << " at "
                                      << c.progress);
    EXPECT_EQ(e.W, c.expected.W);
    EXPECT_EQ(e.H, c.expected.H);
    EXPECT_EQ(e.sw, c.expected.sw);
    EXPECT_EQ(e.sh, c.expected.sh);
    EXPECT_EQ(e.u, c.expected.u);
  }
}

}  // namespace
}  // namespace kestrava
