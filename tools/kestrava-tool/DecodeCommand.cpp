// `kestrava-tool decode IN OUT.png`: any picture the loader reads, written as PNG.
#include <cstdio>
#include <exception>

#include "imaging/PictureLoader.h"
#include "imaging/Png.h"
#include "tools/kestrava-tool/Commands.h"

namespace kestrava::tool {

int RunDecode(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: kestrava-tool decode IN OUT.png\n");
    return 2;
  }
  try {
    // The PNG goes through a temporary file, so a failure leaves no OUT behind.
    WritePngFile(args[1], LoadPicture(args[0]));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-tool: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace kestrava::tool
