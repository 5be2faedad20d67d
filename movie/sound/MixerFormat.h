#pragma once

// The format the mixer runs at, as Mix_QuerySpec reports it.

#include <cstdint>

namespace kestrava {

struct TMixerFormat {
  int Frequency = 44100;
  uint16_t Format = 0;  // an SDL audio format (AUDIO_S16SYS...)
  int Channels = 2;

  int FrameBytes() const { return Channels * ((Format & 0xFF) / 8); }
};

}  // namespace kestrava
