// kestrava-region: the region command of kestrava-tool on its own, for the Windows build.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/kestrava-tool/Commands.h"

int main(int argc, char** argv) {
  // Lines end as on Linux, so that the answers compare byte for byte.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return kestrava::tool::RunRegion(std::vector<std::string>(argv + 1, argv + argc));
}
