#pragma once

#include <vector>

namespace kestrava {

// Which source pixel lands on each destination pixel along one axis of a nearest-neighbour
// copy. Destination pixel i (counted from the origin in the direction of the extent) takes source
// pixel j:
//   enlarging or 1:1 (D >= S): j = ((2i + 1)S - 1) div 2D, the source pixel under the destination
//     pixel's centre, a centre exactly on a boundary taking the lower pixel;
//   shrinking (D < S): j = (2S(i + 1) - D) div 2D, the last of the source pixels whose centres
//     fall into destination pixel i.
// These match the platform's colour-on-colour stretch for enlarging; for shrinking the platform
// keeps the last source pixel of each run as well.
int StretchSourceIndex(int i, int destLength, int sourceLength);

struct TAxisMap {
  int First = 0;            // first destination coordinate written
  std::vector<int> Source;  // source coordinate for destination First, First + 1, ...
  bool Empty() const { return Source.empty(); }
  int End() const { return First + int(Source.size()); }
};

// The written destination coordinates, ascending, with their source coordinates: only
// destination pixels inside [0, destLimit) whose source pixel is inside [0, sourceLimit). A
// negative extent runs from its origin towards lower coordinates (origin + extent + 1 .. origin).
TAxisMap BuildAxisMap(int destOrigin, int destExtent, int sourceOrigin, int sourceExtent,
                      int destLimit, int sourceLimit);

}  // namespace kestrava
