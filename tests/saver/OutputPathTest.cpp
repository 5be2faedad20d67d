#include <gtest/gtest.h>

#include "saver/OfferedEffects.h"
#include "saver/OutputPath.h"

namespace kestrava {
namespace {

TEST(OutputPath, NameOrFirstSourceTakesTheTypesExtension) {
  struct Case {
    const char* dir;
    const char* name;
    const char* firstSource;
    int type;
    const char* expected;
  };
  const Case cases[] = {
      {"/out/", "Holiday", "/p/a.jpg", 0, "/out/Holiday.scr"},
      {"/out/", "Holiday", "/p/a.jpg", 1, "/out/Holiday.exe"},
      // A name keeps its own dots: only the ".exe" added to it is replaced.
      {"/out/", "My.Saver", "/p/a.jpg", 0, "/out/My.Saver.scr"},
      {"/out/", "a.b", "/p/a.jpg", 0, "/out/a.b.scr"},
      // No name: the first source's file name, its extension replaced.
      {"/out/", "", "/p/beach.jpg", 0, "/out/beach.scr"},
      {"/out/", "", "/x/clip.swf", 1, "/out/clip.exe"},
      {"/out/", "", "noext", 0, "/out/noext.scr"},
      // A dot in a folder name is no extension.
      {"/my.folder/", "", "/p.q/noext", 1, "/my.folder/noext.exe"},
      // Joined as they are: the folder brings its own separator.
      {"/out", "", "/p/a.jpg", 0, "/outa.scr"},
      // A type no item stands for still gets an extension, so a source is never the target.
      {"/p/", "", "/p/a.jpg", -1, "/p/a.scr"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComposeOutputPath(c.dir, c.name, c.firstSource, c.type), c.expected)
        << c.dir << " " << c.name << " " << c.firstSource << " " << c.type;
}

TEST(OfferedEffects, TheListsHundredAndThreeStyles) {
  const std::vector<int>& styles = OfferedEffectStyles();
  ASSERT_EQ(styles.size(), 103u);
  EXPECT_EQ(styles[0], 1);
  EXPECT_EQ(styles[6], 8);      // entry 7
  EXPECT_EQ(styles[7], 10);     // entry 8
  EXPECT_EQ(styles[19], 28);    // entry 20
  EXPECT_EQ(styles[36], 52);    // entry 37
  EXPECT_EQ(styles[102], 118);  // entry 103
  for (const int excluded : ExcludedEffectStyles())
    EXPECT_FALSE(IsOfferedEffectStyle(excluded)) << excluded;
  EXPECT_FALSE(IsOfferedEffectStyle(0));
  EXPECT_FALSE(IsOfferedEffectStyle(123));
  EXPECT_TRUE(IsOfferedEffectStyle(118));
}

}  // namespace
}  // namespace kestrava
