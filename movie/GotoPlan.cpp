#include "movie/GotoPlan.h"

#include "movie/SwfTagCodes.h"

namespace kestrava {

void MergePlaceCommand(TPlaceCommand& into, const TPlaceCommand& change) {
  if (change.CharacterId) into.CharacterId = change.CharacterId;
  if (change.Matrix) into.Matrix = change.Matrix;
  if (change.ColorTransform) into.ColorTransform = change.ColorTransform;
  if (change.Ratio) into.Ratio = change.Ratio;
  if (change.Name) into.Name = change.Name;
  if (change.ClipDepth) into.ClipDepth = change.ClipDepth;
  if (change.BlendMode) into.BlendMode = change.BlendMode;
  if (change.Visible) into.Visible = change.Visible;
}

TGotoPlan PlanGoto(const TSwfTimelineData& timeline, int first, int last,
                   const TStandingCharacter& standing, const TCanSwap& canSwap, int64_t& budget) {
  TGotoPlan plan;
  int order = 0;
  // The state of a depth so far: planned, or as it stood before the jump.
  const auto find = [&](uint16_t depth) -> TGotoDepth* {
    const auto it = plan.find(depth);
    if (it != plan.end())
      return it->second.Kind == TGotoDepth::TKind::Empty ? nullptr : &it->second;
    if (!standing) return nullptr;
    const std::optional<uint16_t> character = standing(depth);
    if (!character) return nullptr;
    TGotoDepth& kept = plan[depth];  // Kept, no change yet
    kept.Change.CharacterId = character;
    return &kept;
  };
  const auto place = [&](const TPlaceCommand& command, int frame) {
    TGotoDepth* current = find(command.Depth);
    if (current == nullptr) {
      // A move onto an empty depth places anew when it names a character.
      if (!command.CharacterId) return;
      TGotoDepth fresh;
      fresh.Kind = TGotoDepth::TKind::Fresh;
      fresh.Change = command;
      fresh.Change.Move = false;
      fresh.PlaceFrame = frame;
      fresh.Order = order++;
      plan[command.Depth] = std::move(fresh);
      return;
    }
    // Placing onto a taken depth fails; a move changes what is there.
    if (!command.Move) return;
    TPlaceCommand move = command;
    if (move.CharacterId && !canSwap(*current->Change.CharacterId, *move.CharacterId))
      move.CharacterId.reset();
    MergePlaceCommand(current->Change, move);
  };

  for (int frame = first; frame <= last; ++frame)
    for (const TSwfTag& tag : timeline.FrameTags(frame)) {
      if (--budget < 0) return plan;
      switch (tag.Code) {
        case swftag::PlaceObject:
        case swftag::PlaceObject2:
        case swftag::PlaceObject3:
          if (const auto command = ReadPlaceCommand(tag.Code, tag.Body)) place(*command, frame);
          break;
        case swftag::RemoveObject:
        case swftag::RemoveObject2:
          if (const auto depth = ReadRemoveDepth(tag.Code, tag.Body)) {
            TGotoDepth empty;
            empty.Kind = TGotoDepth::TKind::Empty;
            plan[*depth] = empty;
          }
          break;
        default:
          break;
      }
    }
  return plan;
}

}  // namespace kestrava
