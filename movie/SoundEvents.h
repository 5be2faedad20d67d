#pragma once

// What the timeline asks of the sound while it advances. The sound part (with SDL2_mixer) plays
// them; the timeline knows nothing of audio.

#include <cstdint>
#include <span>

namespace kestrava {

struct TSoundEvent {
  enum class TKind {
    Start,        // StartSound: SoundId's DefineSound with the SOUNDINFO in Data
    StopAll,      // stopSounds, or the movie ends
    StreamHead,   // SoundStreamHead(2) of a timeline: its body in Data
    StreamBlock,  // SoundStreamBlock of that timeline: its body in Data
  };
  TKind Kind = TKind::Start;
  uint16_t SoundId = 0;
  std::span<const uint8_t> Data;
  // Which timeline a stream belongs to (the root or one sprite instance): streams of different
  // timelines play side by side.
  uint64_t Timeline = 0;
};

}  // namespace kestrava
