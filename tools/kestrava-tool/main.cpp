// kestrava-tool: the developers' command-line tool over the core libraries.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/kestrava-tool/Commands.h"

namespace {

struct Command {
  const char* name;
  const char* usage;
  int (*run)(const std::vector<std::string>&);
};

constexpr Command kCommands[] = {
    {"decode", "decode IN OUT.png     any supported picture to PNG", kestrava::tool::RunDecode},
    {"region", "region < CASES        region commands on stdin, canonical answers on stdout",
     kestrava::tool::RunRegion},
    {"frame",
     "frame --style N --progress P [--step S] [--seed X] OLD NEW OUT.png\n"
     "                        one transition frame, OLD scaled to NEW's size",
     kestrava::tool::RunFrame},
    {"gallery",
     "gallery [--size WxH] [--styles A-B] [--step S] OUT.png\n"
     "                        a contact sheet of the effects at 10, 25, 50, 75 and 90 %",
     kestrava::tool::RunGallery},
    {"ini",
     "ini FILE < COMMANDS   profile-file commands on stdin (write, str, int, raw, delete,\n"
     "                        names, dump), answered as the recorded platform answers",
     kestrava::tool::RunIni},
    {"project", "project FILE.kvp      the settings the wizard shows after loading a project file",
     kestrava::tool::RunProject},
    {"gif-frames",
     "gif-frames IN OUTDIR  every frame of a GIF as the animation composes it over black,\n"
     "                        frame-000.png, ..., and delays.txt (milliseconds per frame);\n"
     "                        the reader's warnings on stderr",
     kestrava::tool::RunGifFrames},
    {"saver-info",
     "saver-info FILE       a saver file's settings and its blocks (offsets, sizes, music types)",
     kestrava::tool::RunSaverInfo},
    {"saver-extract",
     "saver-extract FILE DIR\n"
     "                        every block of a saver file as a file: runtime.bin, music-0.mid,\n"
     "                        picture-0.jpg, movie-0.swf, ...",
     kestrava::tool::RunSaverExtract},
    {"swf-info", "swf-info FILE         a Flash movie's header, frames and how many of each tag",
     kestrava::tool::RunSwfInfo},
    {"swf-frame",
     "swf-frame FILE N OUT.png [--size WxH]\n"
     "                        the movie's picture after N frame advances (default: its own size)",
     kestrava::tool::RunSwfFrame},
};

void Usage(std::FILE* out) {
  std::fprintf(out, "usage: kestrava-tool COMMAND [ARGS]\n\ncommands:\n");
  for (const Command& c : kCommands)
    std::fprintf(out, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    Usage(stderr);
    return 2;
  }
  if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    Usage(stdout);
    return 0;
  }
  for (const Command& c : kCommands)
    if (!std::strcmp(argv[1], c.name))
      return c.run(std::vector<std::string>(argv + 2, argv + argc));
  std::fprintf(stderr, "kestrava-tool: unknown command '%s'\n\n", argv[1]);
  Usage(stderr);
  return 2;
}
