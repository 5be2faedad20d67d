// `kestrava-tool frame --style N --progress P [--step S] [--seed X] OLD NEW OUT.png`: one frame
// of a transition exactly as the player makes it.
#include <cstdio>
#include <exception>

#include "imaging/PictureLoader.h"
#include "imaging/Png.h"
#include "raster/Canvas.h"
#include "raster/Random.h"
#include "tools/kestrava-tool/Arguments.h"
#include "tools/kestrava-tool/Commands.h"
#include "transitions/TransitionPlayer.h"

namespace kestrava::tool {

int RunFrame(const std::vector<std::string>& args) {
  try {
    const TArguments a(args, {"style", "progress", "step", "seed"});
    if (a.Positional().size() != 3 || !a.Option("style") || !a.Option("progress"))
      throw EUsage("frame needs --style, --progress, OLD, NEW and OUT.png");
    const auto style = TTransitionStyle(a.Number("style", 0, 0, kMaxTransitionStyle));
    const int progress = int(a.Number("progress", 0, 0, 100));
    const auto step = uint16_t(a.Number("step", 4, 1, 100));
    try {
      const TBitmap loaded = LoadPicture(a.Positional()[0]);
      const TBitmap picture = LoadPicture(a.Positional()[1]);
      // The old image is what the player would have shown: scaled to the new picture's size.
      TBitmap old(picture.Width(), picture.Height());
      old.Canvas().StretchDraw({0, 0, picture.Width(), picture.Height()}, loaded);
      if (a.Option("seed")) SetRandSeed(uint32_t(a.Number("seed", 0, 0, 0xFFFFFFFFL)));
      TBitmap frame;
      MakeTransitionFrame(style, old, picture, step, progress, frame);
      WritePngFile(a.Positional()[2], frame);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "kestrava-tool: %s\n", e.what());
      return 1;
    }
  } catch (const EUsage& e) {
    std::fprintf(stderr,
                 "kestrava-tool frame: %s\nusage: kestrava-tool frame --style N --progress P "
                 "[--step S] [--seed X] OLD NEW OUT.png\n",
                 e.what());
    return 2;
  }
  return 0;
}

}  // namespace kestrava::tool
