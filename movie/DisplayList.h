#pragma once

// What is on show at one moment: the objects of the root timeline by depth, each sprite with its
// own objects. The timeline makes it; the renderer draws it.

#include <cstdint>
#include <string>
#include <vector>

#include "movie/SwfGeometry.h"

namespace kestrava {

struct TDisplayItem {
  uint16_t Depth = 0;
  uint16_t CharacterId = 0;
  TSwfMatrix Matrix;
  TSwfColorTransform ColorTransform;
  uint16_t Ratio = 0;      // morph shapes: 0 the start shape .. 65535 the end shape
  uint16_t ClipDepth = 0;  // not 0: a mask over the depths above it up to this one
  uint8_t BlendMode = 0;   // 0 and 1 normal
  std::string Name;
  std::vector<TDisplayItem> Children;  // a sprite's own display list, by depth
};

struct TDisplayFrame {
  TSwfRgba Background;
  std::vector<TDisplayItem> Items;  // by depth, lowest first
};

}  // namespace kestrava
