#pragma once

// Whether bytes hold a Standard MIDI File. The mixer's soundfont synthesizer takes any bytes it is
// given as a tune and then plays nothing for ever, so the music preview checks first.

#include <string_view>

namespace kestrava {

// "MThd" with a header of at least 6 bytes naming at least one track, followed by a whole "MTrk"
// chunk; or the same inside a RIFF "RMID" file's "data" chunk.
bool IsStandardMidiFile(std::string_view bytes);

}  // namespace kestrava
