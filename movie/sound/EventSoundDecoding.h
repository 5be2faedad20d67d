#pragma once

// A DefineSound decoded whole, in the mixer's format, for StartSound to play again and again.

#include <cstdint>
#include <vector>

#include "movie/sound/MixerConnection.h"
#include "movie/sound/SwfSoundFormat.h"

namespace kestrava {

// Sounds longer than this are cut: a movie's sound effects and loops last seconds, and the whole
// sound is held in memory at the mixer's rate.
constexpr double kLongestEventSoundSeconds = 600;

// Empty for codecs we do not play (Nellymoser, Speex, AAC), for data without a whole sample and
// when the mixer is not open.
std::vector<uint8_t> DecodeEventSound(const TSwfDefineSound& sound, const TMixerConnection& mixer);

}  // namespace kestrava
