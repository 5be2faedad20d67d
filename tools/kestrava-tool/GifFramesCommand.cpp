// `kestrava-tool gif-frames IN OUTDIR`: every frame of a GIF as the animation painter composes
// it over black, frame-000.png, frame-001.png, ..., and delays.txt with the wait after each
// frame in milliseconds, one line per frame. The reader's warnings go to stderr.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/FileBytes.h"
#include "imaging/GifAnimator.h"
#include "imaging/GifPainter.h"
#include "imaging/GifPicture.h"
#include "imaging/Png.h"
#include "raster/Canvas.h"
#include "tools/kestrava-tool/Commands.h"

namespace kestrava::tool {

namespace {

std::string FrameName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%03d.png", index);
  return name;
}

}  // namespace

int RunGifFrames(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: kestrava-tool gif-frames IN OUTDIR\n");
    return 2;
  }
  try {
    TGifPicture picture;
    // What the reader passed over or mended, so that a damaged file does not pass for a sound one.
    picture.OnWarning = [](TGifPicture&, int, const std::string& message) {
      std::fprintf(stderr, "kestrava-tool: warning: %s\n", message.c_str());
    };
    picture.LoadFromFile(args[0]);
    const std::filesystem::path dir = args[1];
    std::filesystem::create_directories(dir);
    TBitmap screen(picture.Width(), picture.Height());
    screen.Canvas().Brush.Color = clBlack;
    screen.Canvas().FillRect({0, 0, screen.Width(), screen.Height()});
    std::string delays;
    if (!picture.Empty()) {
      TGifAnimator animator(picture, screen);
      for (int i = 0; i < animator.FrameCount(); ++i) {
        animator.Show(i);
        WritePngFile(dir / FrameName(i), screen);
        const int wait =
            GifFrameWait(GifFrameDelay(picture.Images()[i]), 0, picture.AnimationSpeed());
        delays += std::to_string(wait) + "\n";
      }
    }
    WriteFileBytes(dir / "delays.txt", std::vector<uint8_t>(delays.begin(), delays.end()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-tool: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace kestrava::tool
