#pragma once

// PlaceObject 1-3 and RemoveObject 1-2 as the timeline applies them: every field the tag may
// leave out is optional, so a move changes only what it states.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "movie/SwfGeometry.h"

namespace kestrava {

struct TPlaceCommand {
  uint16_t Depth = 0;
  bool Move = false;  // modify (or replace) what is at the depth instead of placing anew
  std::optional<uint16_t> CharacterId;
  std::optional<TSwfMatrix> Matrix;
  std::optional<TSwfColorTransform> ColorTransform;
  std::optional<uint16_t> Ratio;
  std::optional<std::string> Name;
  std::optional<uint16_t> ClipDepth;
  std::optional<uint8_t> BlendMode;
  std::optional<bool> Visible;
};

// Null for a body too short for its own fields. Filters and clip actions are read past; a
// damaged part after the core fields is dropped and the rest kept.
std::optional<TPlaceCommand> ReadPlaceCommand(uint16_t tagCode, std::span<const uint8_t> body);

// The depth a RemoveObject or RemoveObject2 clears; null for a body too short.
std::optional<uint16_t> ReadRemoveDepth(uint16_t tagCode, std::span<const uint8_t> body);

}  // namespace kestrava
