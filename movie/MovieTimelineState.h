#pragma once

// The playing state behind TMovieTimeline: every clip, the script queue, and what the movie
// asked of the sound. It answers the scripts' questions as their IActionHost.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "movie/ActionHost.h"
#include "movie/ActionRunner.h"
#include "movie/DisplayList.h"
#include "movie/GotoPlan.h"
#include "movie/SoundEvents.h"
#include "movie/SwfMovie.h"
#include "movie/TimelineClip.h"

namespace kestrava {

class TMovieTimelineState final : public IActionHost {
 public:
  explicit TMovieTimelineState(std::shared_ptr<const TSwfMovie> movie);
  ~TMovieTimelineState() override;

  void Advance();
  int CurrentFrame() const { return root_->Frame; }
  bool Stopped() const { return !root_->Playing || root_->FrameCount() == 1; }
  bool ReachedEnd() const { return reachedEnd_; }
  bool SpritesPlaying() const;
  TDisplayFrame Frame() const;
  std::vector<TSoundEvent> TakeSoundEvents() { return std::exchange(sounds_, {}); }
  std::vector<std::string> TakeTrace() { return std::exchange(trace_, {}); }

  // IActionHost
  uint8_t Version() const override;
  uint64_t RootClip() const override { return root_->Id; }
  uint64_t ParentClip(uint64_t clip) const override;
  uint64_t ChildClip(uint64_t clip, std::string_view name) const override;
  std::string ClipPath(uint64_t clip) const override;
  std::optional<TActionValue> ClipProperty(uint64_t clip, std::string_view name) const override;
  const TActionValue* ClipVariable(uint64_t clip, const std::string& name) const override;
  void SetClipVariable(uint64_t clip, const std::string& name, TActionValue value) override;
  void GotoFrame(uint64_t clip, int frame, bool play) override;
  bool GotoLabel(uint64_t clip, const std::string& label, bool play) override;
  void Play(uint64_t clip) override;
  void Stop(uint64_t clip) override;
  void NextFrame(uint64_t clip) override;
  void PrevFrame(uint64_t clip) override;
  int LabelFrame(uint64_t clip, const std::string& label) const override;
  std::vector<std::span<const uint8_t>> FrameActions(uint64_t clip, int frame) const override;
  double ElapsedMilliseconds() const override;
  void StopSounds() override;
  void Trace(std::string line) override;

 private:
  struct TQueuedScript {
    uint64_t Clip = 0;
    std::span<const uint8_t> Code;
  };

  TTimelineClip* Find(uint64_t id) const;
  // Plays one clip's next frame, or loops it to its first.
  void Step(TTimelineClip& clip);
  // All tags of a frame in order, as when the frame is played in turn.
  void RunFrame(TTimelineClip& clip, int frame);
  // Scripts and sounds of a frame reached by a jump.
  void RunFrameScripts(TTimelineClip& clip, int frame);
  void QueueInitActions(std::span<const uint8_t> body);
  void EmitSound(const TTimelineClip& clip, uint16_t tagCode, std::span<const uint8_t> body);
  void RunScripts();

  void Place(TTimelineClip& clip, const TPlaceCommand& command, int frame);
  TPlacedObject* Create(TTimelineClip& clip, const TPlaceCommand& command, int frame);
  void Change(TPlacedObject& object, const TPlaceCommand& change);
  // Only a static graphic takes another of its kind by a move; see swftag::SwapFamily.
  bool CanSwap(uint16_t from, uint16_t to) const;
  TCanSwap SwapRule() const;
  void Remove(TTimelineClip& clip, uint16_t depth);
  void Forget(TTimelineClip& clip);  // a clip and everything under it leave the registry
  void Tidy();                       // drops removed clips for good

  // A jump creates its new objects last, in the order the frames placed them.
  struct TFreshObject {
    TPlaceCommand Placement;
    int PlaceFrame = 0;
  };
  void Jump(TTimelineClip& clip, int frame);
  std::vector<TFreshObject> JumpForward(TTimelineClip& clip, int frame);
  std::vector<TFreshObject> Rewind(TTimelineClip& clip, int frame);
  static std::vector<TFreshObject> FreshObjects(const TGotoPlan& plan);
  void NoteRootFrame();

  void AddItems(const TTimelineClip& clip, std::vector<TDisplayItem>& items) const;

  std::shared_ptr<const TSwfMovie> movie_;
  const TSwfMovieData& data_;
  std::unique_ptr<TTimelineClip> root_;
  std::unordered_map<uint64_t, TTimelineClip*> clips_;  // every live clip by id
  // Every clip in creation order; removed ones leave at the next tidy-up. Removed clips are kept
  // in the graveyard until then, so a pass over this list never meets a freed clip.
  std::vector<TTimelineClip*> created_;
  std::vector<std::unique_ptr<TTimelineClip>> graveyard_;
  uint64_t nextId_ = 1;
  int instanceNames_ = 0;
  std::deque<TQueuedScript> initScripts_;
  std::deque<TQueuedScript> scripts_;
  std::set<uint16_t> initDone_;
  std::vector<TSoundEvent> sounds_;
  std::vector<std::string> trace_;
  int64_t actionBudget_ = 0;
  int64_t tagBudget_ = 0;
  TActionRunner runner_;
  int64_t framesPlayed_ = 0;
  bool reachedEnd_ = false;
};

}  // namespace kestrava
