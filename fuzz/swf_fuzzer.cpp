// The SWF reader and the timeline on hostile movies: a movie is read or refused with ESwfError,
// and what is read plays 50 frames within the timeline's limits, every span it hands out lying
// inside the movie.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "movie/MovieTimeline.h"
#include "movie/SwfMovie.h"

namespace {

// Reads every byte of a span, so a sanitizer sees any span reaching outside its storage.
unsigned Touch(std::span<const uint8_t> bytes) {
  unsigned sum = 0;
  for (const uint8_t b : bytes)
    sum += b;
  return sum;
}

unsigned TouchItems(const kestrava::TSwfMovie& movie,
                    const std::vector<kestrava::TDisplayItem>& items) {
  unsigned sum = 0;
  for (const kestrava::TDisplayItem& item : items) {
    if (const kestrava::TSwfCharacter* character = movie.Character(item.CharacterId))
      sum += Touch(character->Body);
    sum += TouchItems(movie, item.Children);
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::shared_ptr<const kestrava::TSwfMovie> movie;
  try {
    movie = kestrava::TSwfMovie::Load(std::vector<uint8_t>(data, data + size));
  } catch (const kestrava::ESwfError&) {
    return 0;
  }
  volatile unsigned sink = Touch(movie->JpegTables());
  kestrava::TMovieTimeline timeline(movie);
  for (int frame = 0; frame < 50; ++frame) {
    sink = sink + TouchItems(*movie, timeline.Frame().Items);
    for (const kestrava::TSoundEvent& event : timeline.TakeSoundEvents())
      sink = sink + Touch(event.Data);
    (void)timeline.TakeTrace();
    timeline.Advance();
  }
  return 0;
}
