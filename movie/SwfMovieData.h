#pragma once

// The inside of a loaded movie: the decompressed bytes, the dictionary and every timeline cut
// into frames. Shared by the reader, which fills it, and the timeline, which plays it.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "movie/SwfMovie.h"

namespace kestrava {

struct TSwfTag {
  uint16_t Code = 0;
  std::span<const uint8_t> Body;
};

// One timeline (the root or a sprite's): its control tags in stream order, cut into frames.
// The frames are those the stream really has, as the player plays them: every ShowFrame ends
// one, and tags after the last ShowFrame make one more. The stated count is not trusted.
struct TSwfTimelineData {
  std::vector<TSwfTag> Tags;
  // Frame f runs Tags[FrameStart[f]] up to Tags[FrameStart[f + 1]] (or the end).
  std::vector<uint32_t> FrameStart;
  struct TLabel {
    std::string Name;
    uint16_t Frame = 0;
  };
  std::vector<TLabel> Labels;  // in stream order

  uint16_t StatedFrameCount = 0;  // what the header or DefineSprite says

  int Frames() const { return int(FrameStart.size()); }
  std::span<const TSwfTag> FrameTags(int frame) const;
  // The first frame with this label, compared without case as the player does; -1 without.
  int FindLabel(std::string_view name) const;
};

class TSwfMovieData {
 public:
  std::vector<uint8_t> Bytes;  // the whole movie, decompressed; every span points in here
  uint8_t Version = 0;
  TSwfRect FrameRect;
  double FrameRate = 0;
  TSwfRgba Background{255, 255, 255, 255};
  std::span<const uint8_t> JpegTables;
  std::unordered_map<uint16_t, TSwfCharacter> Characters;
  TSwfTimelineData Root;
  std::unordered_map<uint16_t, TSwfTimelineData> Sprites;  // by the sprite's character id

  const TSwfTimelineData* Sprite(uint16_t id) const {
    const auto it = Sprites.find(id);
    return it == Sprites.end() ? nullptr : &it->second;
  }
};

}  // namespace kestrava
