#pragma once

// The live objects of a playing movie: each clip (the root or a sprite instance) owns its
// display list by depth; a sprite's object owns that sprite's clip.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "movie/ActionValue.h"
#include "movie/SwfGeometry.h"
#include "movie/SwfMovieData.h"

namespace kestrava {

struct TTimelineClip;

struct TPlacedObject {
  uint16_t Depth = 0;
  uint16_t CharacterId = 0;
  TSwfMatrix Matrix;
  TSwfColorTransform ColorTransform;
  uint16_t Ratio = 0;
  uint16_t ClipDepth = 0;
  uint8_t BlendMode = 0;
  bool Visible = true;
  std::string Name;
  // The frame of the parent's timeline whose tag placed it: going back before it removes it.
  int PlaceFrame = 0;
  std::unique_ptr<TTimelineClip> Clip;  // sprites only
};

struct TTimelineClip {
  uint64_t Id = 0;  // ids grow with creation: the newest clips have the highest
  const TSwfTimelineData* Timeline = nullptr;
  TTimelineClip* Parent = nullptr;
  TPlacedObject* Object = nullptr;  // null for the root
  int Nesting = 0;
  int Frame = 0;  // 0-based
  bool Playing = true;
  bool Removed = false;
  std::map<uint16_t, TPlacedObject> DisplayList;
  std::unordered_map<std::string, TActionValue> Variables;

  // A timeline without frames still shows one.
  int FrameCount() const { return std::max<int>(1, int(Timeline->FrameStart.size())); }
};

}  // namespace kestrava
