#include "movie/MovieTimelineState.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "movie/SwfTagCodes.h"

namespace kestrava {

namespace {

// Limits against hostile movies, per Advance where they count work. A real movie uses a tiny
// part of each; a movie that reaches one plays on with what was done.
constexpr int64_t kActionsPerFrame = 100'000;
constexpr int64_t kTagsPerFrame = 1'000'000;
constexpr size_t kMaxClips = 4096;
constexpr int kMaxClipNesting = 24;
constexpr size_t kMaxQueuedScripts = 10'000;
constexpr size_t kMaxPendingSounds = 4096;
constexpr size_t kMaxPendingTrace = 10'000;

bool IsPlace(uint16_t code) {
  return code == swftag::PlaceObject || code == swftag::PlaceObject2 ||
         code == swftag::PlaceObject3;
}

bool IsRemove(uint16_t code) {
  return code == swftag::RemoveObject || code == swftag::RemoveObject2;
}

bool IsSound(uint16_t code) {
  return code == swftag::StartSound || code == swftag::SoundStreamHead ||
         code == swftag::SoundStreamHead2 || code == swftag::SoundStreamBlock;
}

// Sets every field of `object` from a whole placement; what it leaves out is the default.
void ResetObject(TPlacedObject& object, const TPlaceCommand& placement) {
  object.Matrix = placement.Matrix.value_or(TSwfMatrix{});
  object.ColorTransform = placement.ColorTransform.value_or(TSwfColorTransform{});
  object.Ratio = placement.Ratio.value_or(0);
  object.ClipDepth = placement.ClipDepth.value_or(0);
  object.BlendMode = placement.BlendMode.value_or(0);
  object.Visible = placement.Visible.value_or(true);
  if (placement.Name) object.Name = *placement.Name;
}

void ApplyChange(TPlacedObject& object, const TPlaceCommand& change) {
  if (change.Matrix) object.Matrix = *change.Matrix;
  if (change.ColorTransform) object.ColorTransform = *change.ColorTransform;
  if (change.Ratio) object.Ratio = *change.Ratio;
  if (change.ClipDepth) object.ClipDepth = *change.ClipDepth;
  if (change.BlendMode) object.BlendMode = *change.BlendMode;
  if (change.Visible) object.Visible = *change.Visible;
  if (change.Name) object.Name = *change.Name;
}

}  // namespace

TMovieTimelineState::TMovieTimelineState(std::shared_ptr<const TSwfMovie> movie)
    : movie_(std::move(movie)), data_(movie_->Data()), runner_(*this, actionBudget_) {
  root_ = std::make_unique<TTimelineClip>();
  root_->Id = nextId_++;
  root_->Timeline = &data_.Root;
  clips_[root_->Id] = root_.get();
  created_.push_back(root_.get());
  actionBudget_ = kActionsPerFrame;
  tagBudget_ = kTagsPerFrame;
  RunFrame(*root_, 0);
  RunScripts();
  NoteRootFrame();
  Tidy();
}

TMovieTimelineState::~TMovieTimelineState() = default;

void TMovieTimelineState::Advance() {
  actionBudget_ = kActionsPerFrame;
  tagBudget_ = kTagsPerFrame;
  ++framesPlayed_;
  // The newest clips go first, and clips made during this pass wait for the next one.
  for (size_t i = created_.size(); i-- > 0;)
    if (!created_[i]->Removed) Step(*created_[i]);
  RunScripts();
  NoteRootFrame();
  Tidy();
}

bool TMovieTimelineState::SpritesPlaying() const {
  return std::any_of(created_.begin(), created_.end(), [this](const TTimelineClip* clip) {
    return clip != root_.get() && !clip->Removed && clip->Playing && clip->FrameCount() > 1;
  });
}

void TMovieTimelineState::Tidy() {
  std::erase_if(created_, [](const TTimelineClip* clip) { return clip->Removed; });
  graveyard_.clear();
}

void TMovieTimelineState::NoteRootFrame() {
  if (root_->Frame == root_->FrameCount() - 1) reachedEnd_ = true;
}

TTimelineClip* TMovieTimelineState::Find(uint64_t id) const {
  const auto it = clips_.find(id);
  return it == clips_.end() ? nullptr : it->second;
}

void TMovieTimelineState::Step(TTimelineClip& clip) {
  if (!clip.Playing) return;
  const int count = clip.FrameCount();
  if (clip.Frame + 1 < count) {
    ++clip.Frame;
    RunFrame(clip, clip.Frame);
  } else if (count > 1) {
    Jump(clip, 0);  // a timeline loops unless stopped; a one-frame one just stays
  }
}

void TMovieTimelineState::RunFrame(TTimelineClip& clip, int frame) {
  for (const TSwfTag& tag : clip.Timeline->FrameTags(frame)) {
    if (--tagBudget_ < 0) return;
    if (IsPlace(tag.Code)) {
      if (const auto command = ReadPlaceCommand(tag.Code, tag.Body)) Place(clip, *command, frame);
    } else if (IsRemove(tag.Code)) {
      if (const auto depth = ReadRemoveDepth(tag.Code, tag.Body)) Remove(clip, *depth);
    } else if (tag.Code == swftag::DoAction) {
      if (scripts_.size() < kMaxQueuedScripts) scripts_.push_back({clip.Id, tag.Body});
    } else if (tag.Code == swftag::DoInitAction) {
      QueueInitActions(tag.Body);
    } else if (IsSound(tag.Code)) {
      EmitSound(clip, tag.Code, tag.Body);
    }
  }
}

void TMovieTimelineState::RunFrameScripts(TTimelineClip& clip, int frame) {
  for (const TSwfTag& tag : clip.Timeline->FrameTags(frame)) {
    if (--tagBudget_ < 0) return;
    if (tag.Code == swftag::DoAction) {
      if (scripts_.size() < kMaxQueuedScripts) scripts_.push_back({clip.Id, tag.Body});
    } else if (tag.Code == swftag::DoInitAction) {
      QueueInitActions(tag.Body);
    } else if (IsSound(tag.Code)) {
      EmitSound(clip, tag.Code, tag.Body);
    }
  }
}

// A sprite's init actions run once, before the frame scripts waiting, with the root as this.
void TMovieTimelineState::QueueInitActions(std::span<const uint8_t> body) {
  if (body.size() < 2) return;
  const uint16_t sprite = uint16_t(body[0] | body[1] << 8);
  if (!initDone_.insert(sprite).second) return;
  initScripts_.push_back({root_->Id, body.subspan(2)});
}

void TMovieTimelineState::EmitSound(const TTimelineClip& clip, uint16_t tagCode,
                                    std::span<const uint8_t> body) {
  if (sounds_.size() >= kMaxPendingSounds) return;
  TSoundEvent event;
  event.Timeline = clip.Id;
  switch (tagCode) {
    case swftag::StartSound:
      if (body.size() < 2) return;
      event.Kind = TSoundEvent::TKind::Start;
      event.SoundId = uint16_t(body[0] | body[1] << 8);
      event.Data = body.subspan(2);
      break;
    case swftag::SoundStreamBlock:
      event.Kind = TSoundEvent::TKind::StreamBlock;
      event.Data = body;
      break;
    default:
      event.Kind = TSoundEvent::TKind::StreamHead;
      event.Data = body;
      break;
  }
  sounds_.push_back(event);
}

void TMovieTimelineState::RunScripts() {
  for (;;) {
    std::deque<TQueuedScript>& queue = initScripts_.empty() ? scripts_ : initScripts_;
    if (queue.empty()) return;
    const TQueuedScript script = queue.front();
    queue.pop_front();
    if (actionBudget_ <= 0) continue;  // drains the queue without running
    // The scripts of a clip removed since they were queued do not run.
    if (Find(script.Clip)) runner_.Run(script.Clip, script.Code);
  }
}

// Display list ---------------------------------------------------------------------------

void TMovieTimelineState::Place(TTimelineClip& clip, const TPlaceCommand& command, int frame) {
  const auto it = clip.DisplayList.find(command.Depth);
  if (it == clip.DisplayList.end()) {
    // A move onto an empty depth places anew when it names a character.
    if (command.CharacterId) Create(clip, command, frame);
    return;
  }
  // Placing onto a taken depth is refused; a move changes what is there.
  if (command.Move) Change(it->second, command);
}

TPlacedObject* TMovieTimelineState::Create(TTimelineClip& clip, const TPlaceCommand& command,
                                           int frame) {
  const uint16_t id = *command.CharacterId;
  if (!movie_->Character(id)) return nullptr;
  Remove(clip, command.Depth);
  TPlacedObject object;
  object.Depth = command.Depth;
  object.CharacterId = id;
  object.PlaceFrame = frame;
  ResetObject(object, command);
  TPlacedObject& placed = clip.DisplayList.emplace(command.Depth, std::move(object)).first->second;

  const TSwfTimelineData* sprite = data_.Sprite(id);
  if (sprite && clip.Nesting < kMaxClipNesting && clips_.size() < kMaxClips) {
    auto child = std::make_unique<TTimelineClip>();
    child->Id = nextId_++;
    child->Timeline = sprite;
    child->Parent = &clip;
    child->Object = &placed;
    child->Nesting = clip.Nesting + 1;
    if (placed.Name.empty()) placed.Name = "instance" + std::to_string(++instanceNames_);
    TTimelineClip& created = *child;
    clips_[created.Id] = &created;
    created_.push_back(&created);
    placed.Clip = std::move(child);
    // A sprite shows its first frame from the moment it is placed.
    RunFrame(created, 0);
  }
  return &placed;
}

void TMovieTimelineState::Change(TPlacedObject& object, const TPlaceCommand& change) {
  if (change.CharacterId && CanSwap(object.CharacterId, *change.CharacterId))
    object.CharacterId = *change.CharacterId;
  ApplyChange(object, change);
}

TCanSwap TMovieTimelineState::SwapRule() const {
  return [this](uint16_t from, uint16_t to) { return CanSwap(from, to); };
}

bool TMovieTimelineState::CanSwap(uint16_t from, uint16_t to) const {
  if (from == to) return true;
  const TSwfCharacter* now = movie_->Character(from);
  const TSwfCharacter* next = movie_->Character(to);
  const int family = now ? swftag::SwapFamily(now->TagCode) : 0;
  return next && family != 0 && family == swftag::SwapFamily(next->TagCode);
}

void TMovieTimelineState::Remove(TTimelineClip& clip, uint16_t depth) {
  const auto it = clip.DisplayList.find(depth);
  if (it == clip.DisplayList.end()) return;
  if (it->second.Clip) {
    Forget(*it->second.Clip);
    graveyard_.push_back(std::move(it->second.Clip));
  }
  clip.DisplayList.erase(it);
}

void TMovieTimelineState::Forget(TTimelineClip& clip) {
  for (auto& [depth, object] : clip.DisplayList)
    if (object.Clip) Forget(*object.Clip);
  clip.Removed = true;
  clips_.erase(clip.Id);
}

// Jumps ----------------------------------------------------------------------------------

void TMovieTimelineState::Jump(TTimelineClip& clip, int frame) {
  frame = std::clamp(frame, 0, clip.FrameCount() - 1);
  if (frame == clip.Frame) return;
  // The target frame's scripts are queued before the objects the jump creates queue theirs.
  std::vector<TFreshObject> fresh =
      frame > clip.Frame ? JumpForward(clip, frame) : Rewind(clip, frame);
  RunFrameScripts(clip, frame);
  for (const TFreshObject& object : fresh)
    Create(clip, object.Placement, object.PlaceFrame);
}

std::vector<TMovieTimelineState::TFreshObject> TMovieTimelineState::JumpForward(TTimelineClip& clip,
                                                                                int frame) {
  const int first = clip.Frame + 1;
  // Init actions of the frames passed still run; their frame scripts and sounds do not.
  for (int passed = first; passed < frame; ++passed)
    for (const TSwfTag& tag : clip.Timeline->FrameTags(passed))
      if (tag.Code == swftag::DoInitAction) QueueInitActions(tag.Body);
  const auto standing = [&clip](uint16_t depth) -> std::optional<uint16_t> {
    const auto it = clip.DisplayList.find(depth);
    if (it == clip.DisplayList.end()) return std::nullopt;
    return it->second.CharacterId;
  };
  const TGotoPlan plan =
      PlanGoto(*clip.Timeline, first, frame, standing, SwapRule(), tagBudget_);
  clip.Frame = frame;
  for (const auto& [depth, entry] : plan) {
    switch (entry.Kind) {
      case TGotoDepth::TKind::Empty:
        Remove(clip, depth);
        break;
      case TGotoDepth::TKind::Kept:
        if (const auto it = clip.DisplayList.find(depth); it != clip.DisplayList.end())
          Change(it->second, entry.Change);
        break;
      case TGotoDepth::TKind::Fresh:
        Remove(clip, depth);
        break;
    }
  }
  return FreshObjects(plan);
}

std::vector<TMovieTimelineState::TFreshObject> TMovieTimelineState::FreshObjects(
    const TGotoPlan& plan) {
  std::vector<std::pair<int, uint16_t>> order;
  for (const auto& [depth, entry] : plan)
    if (entry.Kind == TGotoDepth::TKind::Fresh) order.emplace_back(entry.Order, depth);
  std::sort(order.begin(), order.end());
  std::vector<TFreshObject> fresh;
  for (const auto& [rank, depth] : order) {
    const TGotoDepth& entry = plan.at(depth);
    fresh.push_back({entry.Change, entry.PlaceFrame});
  }
  return fresh;
}

// Going back rebuilds the list from the first frame. Objects placed after the target frame go;
// the others stay, keeping their own state, when the rebuilt list has the same character at
// their depth, and take the placement the frames give them.
std::vector<TMovieTimelineState::TFreshObject> TMovieTimelineState::Rewind(TTimelineClip& clip,
                                                                           int frame) {
  std::vector<uint16_t> later;
  for (const auto& [depth, object] : clip.DisplayList)
    if (object.PlaceFrame > frame) later.push_back(depth);
  for (const uint16_t depth : later)
    Remove(clip, depth);

  TGotoPlan plan = PlanGoto(*clip.Timeline, 0, frame, nullptr, SwapRule(), tagBudget_);
  clip.Frame = frame;
  std::vector<uint16_t> standing;
  for (const auto& [depth, object] : clip.DisplayList)
    standing.push_back(depth);
  for (const uint16_t depth : standing) {
    TPlacedObject& object = clip.DisplayList.at(depth);
    const auto it = plan.find(depth);
    if (it != plan.end() && it->second.Kind == TGotoDepth::TKind::Fresh &&
        it->second.Change.CharacterId == object.CharacterId) {
      ResetObject(object, it->second.Change);
      it->second.Kind = TGotoDepth::TKind::Kept;
    } else {
      Remove(clip, depth);
    }
  }
  return FreshObjects(plan);
}

// What is on show -------------------------------------------------------------------------

TDisplayFrame TMovieTimelineState::Frame() const {
  TDisplayFrame frame;
  frame.Background = data_.Background;
  AddItems(*root_, frame.Items);
  return frame;
}

void TMovieTimelineState::AddItems(const TTimelineClip& clip,
                                   std::vector<TDisplayItem>& items) const {
  items.reserve(clip.DisplayList.size());
  for (const auto& [depth, object] : clip.DisplayList) {
    if (!object.Visible) continue;
    // Filled in place: the list was reserved, so the reference holds through the recursion.
    TDisplayItem& item = items.emplace_back();
    item.Depth = depth;
    item.CharacterId = object.CharacterId;
    item.Matrix = object.Matrix;
    item.ColorTransform = object.ColorTransform;
    item.Ratio = object.Ratio;
    item.ClipDepth = object.ClipDepth;
    item.BlendMode = object.BlendMode;
    item.Name = object.Name;
    if (object.Clip) AddItems(*object.Clip, item.Children);
  }
}

// What scripts may ask -----------------------------------------------------------------------

uint8_t TMovieTimelineState::Version() const {
  return data_.Version;
}

uint64_t TMovieTimelineState::ParentClip(uint64_t id) const {
  const TTimelineClip* clip = Find(id);
  return clip && clip->Parent ? clip->Parent->Id : 0;
}

uint64_t TMovieTimelineState::ChildClip(uint64_t id, std::string_view name) const {
  const TTimelineClip* clip = Find(id);
  if (!clip || name.empty()) return 0;
  // Names are told apart by case from version 7 on.
  const bool exact = data_.Version >= 7;
  for (const auto& [depth, object] : clip->DisplayList) {
    if (!object.Clip) continue;
    const bool same = exact ? object.Name == name
                            : std::equal(object.Name.begin(), object.Name.end(), name.begin(),
                                         name.end(), [](char a, char b) {
                                           return std::tolower(static_cast<unsigned char>(a)) ==
                                                  std::tolower(static_cast<unsigned char>(b));
                                         });
    if (same) return object.Clip->Id;
  }
  return 0;
}

std::string TMovieTimelineState::ClipPath(uint64_t id) const {
  const TTimelineClip* clip = Find(id);
  if (!clip) return {};
  if (!clip->Parent) return "_level0";
  return ClipPath(clip->Parent->Id) + "." + clip->Object->Name;
}

std::optional<TActionValue> TMovieTimelineState::ClipProperty(uint64_t id,
                                                              std::string_view name) const {
  const TTimelineClip* clip = Find(id);
  if (!clip) return std::nullopt;
  const TPlacedObject* object = clip->Object;
  const TSwfMatrix matrix = object ? object->Matrix : TSwfMatrix{};
  if (name == "_currentframe") return TActionValue::Of(double(clip->Frame + 1));
  if (name == "_totalframes" || name == "_framesloaded")
    return TActionValue::Of(double(clip->Timeline->Frames()));
  if (name == "_x") return TActionValue::Of(matrix.TranslateX / 20);
  if (name == "_y") return TActionValue::Of(matrix.TranslateY / 20);
  if (name == "_xscale")
    return TActionValue::Of(std::hypot(matrix.ScaleX, matrix.RotateSkew0) * 100);
  if (name == "_yscale")
    return TActionValue::Of(std::hypot(matrix.RotateSkew1, matrix.ScaleY) * 100);
  if (name == "_rotation")
    return TActionValue::Of(std::atan2(matrix.RotateSkew0, matrix.ScaleX) * 180 / std::numbers::pi);
  if (name == "_alpha") return TActionValue::Of(object ? object->ColorTransform.MulA * 100 : 100.0);
  if (name == "_visible") return TActionValue::Of(object ? object->Visible : true);
  if (name == "_name") return TActionValue::Of(object ? object->Name : std::string());
  if (name == "_target") {
    std::string path;
    for (const TTimelineClip* c = clip; c->Parent; c = c->Parent)
      path.insert(0, "/" + c->Object->Name);
    return TActionValue::Of(path.empty() ? std::string("/") : path);
  }
  return std::nullopt;
}

const TActionValue* TMovieTimelineState::ClipVariable(uint64_t id, const std::string& name) const {
  const TTimelineClip* clip = Find(id);
  if (!clip) return nullptr;
  const auto it = clip->Variables.find(name);
  return it == clip->Variables.end() ? nullptr : &it->second;
}

void TMovieTimelineState::SetClipVariable(uint64_t id, const std::string& name,
                                          TActionValue value) {
  // A script filling memory with names gets no further than this many per clip.
  constexpr size_t kMaxVariables = 10'000;
  TTimelineClip* clip = Find(id);
  if (!clip || name.empty()) return;
  if (clip->Variables.size() >= kMaxVariables && !clip->Variables.contains(name)) return;
  clip->Variables[name] = std::move(value);
}

void TMovieTimelineState::GotoFrame(uint64_t id, int frame, bool play) {
  TTimelineClip* clip = Find(id);
  if (!clip) return;
  Jump(*clip, frame);
  clip->Playing = play;
}

bool TMovieTimelineState::GotoLabel(uint64_t id, const std::string& label, bool play) {
  const int frame = LabelFrame(id, label);
  if (frame < 0) return false;
  GotoFrame(id, frame, play);
  return true;
}

void TMovieTimelineState::Play(uint64_t id) {
  if (TTimelineClip* clip = Find(id)) clip->Playing = true;
}

void TMovieTimelineState::Stop(uint64_t id) {
  if (TTimelineClip* clip = Find(id)) clip->Playing = false;
}

void TMovieTimelineState::NextFrame(uint64_t id) {
  TTimelineClip* clip = Find(id);
  if (!clip) return;
  if (clip->Frame + 1 < clip->FrameCount()) Jump(*clip, clip->Frame + 1);
  clip->Playing = false;
}

void TMovieTimelineState::PrevFrame(uint64_t id) {
  TTimelineClip* clip = Find(id);
  if (!clip) return;
  if (clip->Frame > 0) Jump(*clip, clip->Frame - 1);
  clip->Playing = false;
}

int TMovieTimelineState::LabelFrame(uint64_t id, const std::string& label) const {
  const TTimelineClip* clip = Find(id);
  return clip ? clip->Timeline->FindLabel(label) : -1;
}

std::vector<std::span<const uint8_t>> TMovieTimelineState::FrameActions(uint64_t id,
                                                                        int frame) const {
  std::vector<std::span<const uint8_t>> actions;
  if (const TTimelineClip* clip = Find(id))
    for (const TSwfTag& tag : clip->Timeline->FrameTags(frame))
      if (tag.Code == swftag::DoAction) actions.push_back(tag.Body);
  return actions;
}

double TMovieTimelineState::ElapsedMilliseconds() const {
  const double rate = data_.FrameRate > 0 ? data_.FrameRate : 12;
  return double(framesPlayed_) * 1000 / rate;
}

void TMovieTimelineState::StopSounds() {
  if (sounds_.size() < kMaxPendingSounds)
    sounds_.push_back({TSoundEvent::TKind::StopAll, 0, {}, 0});
}

void TMovieTimelineState::Trace(std::string line) {
  if (trace_.size() < kMaxPendingTrace) trace_.push_back(std::move(line));
}

}  // namespace kestrava
