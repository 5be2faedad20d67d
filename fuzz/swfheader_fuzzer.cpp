// The SWF header reader of the saver runtime on hostile movies: it must either read the header
// or refuse it with EMovieInfoError, within the bytes given.
#include <cstddef>
#include <cstdint>
#include <span>

#include "runtime/core/MovieCard.h"
#include "movie/MovieInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    const kestrava::TMovieInfo info = kestrava::ReadMovieInfo(bytes);
    (void)info.WidthPixels();
    (void)info.HeightPixels();
  } catch (const kestrava::EMovieInfoError&) {
  }
  // The card text never throws: a bad header is said on the card.
  (void)kestrava::MovieCardText(0, 1, bytes);
  return 0;
}
