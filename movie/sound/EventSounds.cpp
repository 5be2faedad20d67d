#include "movie/sound/EventSounds.h"

#include <algorithm>

#include "movie/SwfErrors.h"
#include "movie/SwfTagCodes.h"
#include "movie/sound/EventSoundDecoding.h"

namespace kestrava {

namespace {

// Far more sounds at once than a movie's effects need; later starts are dropped.
constexpr size_t kMostInstances = 32;
// What all decoded sounds of one movie may take; a sound past it stays silent.
constexpr size_t kMostDecodedBytes = size_t(384) << 20;
// SOUNDINFO's points count samples at 44.1 kHz whatever the sound's own rate.
constexpr uint64_t kPointRate = 44100;

}  // namespace

TEventSounds::TEventSounds(const TSwfMovie& movie, const TMixerConnection& mixer)
    : movie_(movie), mixer_(mixer) {}

TEventSounds::~TEventSounds() {
  // Freeing a chunk halts the channels that play it.
  for (auto& [id, sound] : sounds_)
    for (auto& [range, chunk] : sound.Views)
      Mix_FreeChunk(chunk);
}

bool TEventSounds::StillPlaying(const TInstance& instance) {
  return Mix_Playing(instance.Channel) != 0 && Mix_GetChunk(instance.Channel) == instance.Chunk;
}

void TEventSounds::Prune() {
  std::erase_if(playing_, [](const TInstance& instance) { return !StillPlaying(instance); });
}

int TEventSounds::Playing() {
  Prune();
  return int(playing_.size());
}

void TEventSounds::StopAll() {
  for (const TInstance& instance : playing_)
    if (StillPlaying(instance)) Mix_HaltChannel(instance.Channel);
  playing_.clear();
}

TEventSounds::TDecodedSound& TEventSounds::Decoded(uint16_t soundId) {
  const auto found = sounds_.find(soundId);
  if (found != sounds_.end()) return found->second;
  TDecodedSound& sound = sounds_[soundId];
  const TSwfCharacter* character = movie_.Character(soundId);
  if (!character || character->TagCode != swftag::DefineSound) return sound;
  try {
    sound.Audio = DecodeEventSound(ReadDefineSound(character->Body), mixer_);
  } catch (const ESwfError&) {
    return sound;
  }
  if (decodedBytes_ + sound.Audio.size() > kMostDecodedBytes) {
    sound.Audio = {};
    sound.Audio.shrink_to_fit();
  }
  decodedBytes_ += sound.Audio.size();
  return sound;
}

Mix_Chunk* TEventSounds::View(TDecodedSound& sound, const TSwfSoundInfo& info) {
  const uint64_t frameBytes = uint64_t(mixer_.OutputFormat().FrameBytes());
  const uint64_t frames = sound.Audio.size() / frameBytes;
  const auto toFrames = [&](uint32_t point) {
    return std::min(frames, point * uint64_t(mixer_.OutputFormat().Frequency) / kPointRate);
  };
  const uint64_t first = info.InPoint ? toFrames(*info.InPoint) : 0;
  const uint64_t end = info.OutPoint ? toFrames(*info.OutPoint) : frames;
  if (end <= first) return nullptr;
  Mix_Chunk*& chunk = sound.Views[{size_t(first), size_t(end)}];
  if (!chunk) {
    const uint64_t bytes = std::min<uint64_t>((end - first) * frameBytes, UINT32_MAX);
    chunk = Mix_QuickLoad_RAW(sound.Audio.data() + first * frameBytes, Uint32(bytes));
  }
  return chunk;
}

void TEventSounds::Start(uint16_t soundId, std::span<const uint8_t> soundInfo) {
  if (!mixer_.IsOpen()) return;
  TSwfSoundInfo info;
  try {
    info = ReadSoundInfo(soundInfo);
  } catch (const ESwfError&) {
    return;
  }
  Prune();
  const auto isThisSound = [soundId](const TInstance& i) { return i.SoundId == soundId; };
  if (info.SyncStop) {
    for (const TInstance& instance : playing_)
      if (instance.SoundId == soundId) Mix_HaltChannel(instance.Channel);
    std::erase_if(playing_, isThisSound);
    return;
  }
  if (info.SyncNoMultiple && std::any_of(playing_.begin(), playing_.end(), isThisSound)) return;
  if (playing_.size() >= kMostInstances) return;

  TDecodedSound& sound = Decoded(soundId);
  if (sound.Audio.empty()) return;
  Mix_Chunk* chunk = View(sound, info);
  if (!chunk) return;
  const int channel = mixer_.PlayOnFreeChannel(chunk, int(info.LoopCount) - 1);
  if (channel >= 0) playing_.push_back({channel, soundId, chunk});
}

}  // namespace kestrava
