#pragma once

// MP3 frames decoded through SDL2_mixer, with two of its habits made up for: it decodes nothing
// of a single frame, and SDL's resampler keeps the last few hundred samples back when the
// frames' rate is not the mixer's. Silent frames after the real ones take both losses (except
// behind an encoder's Info frame, where the decoder itself cuts the sound to its stated length).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "movie/sound/MixerConnection.h"
#include "movie/sound/Mp3Frames.h"

namespace kestrava {

// `frames` are ScanMp3Frames(data). All of them are decoded; the sound of frames[keepFrom] and
// after is returned in the mixer's format (the ones before prime the decoder).
std::vector<uint8_t> DecodeMp3Frames(const TMixerConnection& mixer, std::span<const uint8_t> data,
                                     const std::vector<TMp3Frame>& frames, size_t keepFrom);

}  // namespace kestrava
