// The saver program. It finds its payload at the end of its own file; until it shows it on
// screen, it tells what it holds.

#include <cstdio>
#include <exception>
#include <filesystem>

#include "saver/SaverFileReader.h"

int main() {
  using namespace kestrava;
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    std::fprintf(stderr, "kestrava-saver: cannot find its own file: %s\n", error.message().c_str());
    return 1;
  }
  try {
    const TSaverFileReader saver(self);
    const TSaverTrailer& t = saver.Trailer();
    if (t.Kind == TSaverKind::Flash)
      std::printf("%zu movies, quit mode %d\n", t.SourceSizes.size(), int(t.QuitMode));
    else
      std::printf("%zu pictures every %d s, %zu music files, quit mode %d\n", t.SourceSizes.size(),
                  int(t.IntervalSeconds), t.MusicSizes.size(), int(t.QuitMode));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-saver: %s\n", e.what());
    return 1;
  }
}
