#pragma once

// DefineButton and DefineButton2: what a button shows while the pointer is away from it.

#include <cstdint>
#include <vector>

#include "movie/SwfGeometry.h"
#include "movie/SwfMovie.h"

namespace kestrava::render {

struct TButtonPart {
  uint16_t CharacterId = 0;
  uint16_t Depth = 0;
  TSwfMatrix Matrix;
  TSwfColorTransform Transform;
  uint8_t BlendMode = 0;
};

// The records of the up state, by depth. Throws ESwfError.
std::vector<TButtonPart> ReadButtonUpState(const TSwfCharacter& character);

}  // namespace kestrava::render
