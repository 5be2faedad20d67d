// The SWF header reader on hostile movies: it must either read the header
// or refuse it with EMovieInfoError, within the bytes given.
#include <cstddef>
#include <cstdint>
#include <span>

#include "movie/MovieInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    const kestrava::TMovieInfo info = kestrava::ReadMovieInfo(bytes);
    (void)info.WidthPixels();
    (void)info.HeightPixels();
  } catch (const kestrava::EMovieInfoError&) {
  }
  return 0;
}
