#pragma once

// A jump over several frames: the PlaceObject and RemoveObject tags of the frames passed are
// folded per depth first, so objects that would live only in between are never created, and
// what stays is changed once. The player jumps this way; its order of creation is the order in
// which the tags first placed them.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "movie/PlaceCommand.h"
#include "movie/SwfMovieData.h"

namespace kestrava {

struct TGotoDepth {
  enum class TKind {
    Kept,   // the object standing there before the jump stays; Change holds the moves
    Fresh,  // a new object; Change holds its whole placement
    Empty,  // whatever stood there is removed
  };
  TKind Kind = TKind::Kept;
  TPlaceCommand Change;
  int PlaceFrame = 0;
  int Order = 0;  // creation order of fresh objects
};

using TGotoPlan = std::map<uint16_t, TGotoDepth>;

// The character standing at a depth before a jump, if any.
using TStandingCharacter = std::function<std::optional<uint16_t>(uint16_t depth)>;
// Whether a move naming character `to` swaps it in for `from`.
using TCanSwap = std::function<bool(uint16_t from, uint16_t to)>;

// Folds frames first..last (inclusive) of the timeline. `standing` tells which depths hold an
// object before the jump; null when none does (a rewind starts from an empty list). Change of a
// kept or fresh depth names the character it ends with. Every tag read costs one from
// `budget`; at zero the plan ends where it is.
TGotoPlan PlanGoto(const TSwfTimelineData& timeline, int first, int last,
                   const TStandingCharacter& standing, const TCanSwap& canSwap, int64_t& budget);

// Puts the fields `change` states over those of `into`.
void MergePlaceCommand(TPlaceCommand& into, const TPlaceCommand& change);

}  // namespace kestrava
