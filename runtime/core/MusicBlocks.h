#pragma once

// The saver's music as both runtimes play it: the stored blocks one after another, round and round.

#include <cstdint>
#include <vector>

#include "saver/SaverFileReader.h"

namespace kestrava {

struct TMusicBlock {
  std::vector<uint8_t> Bytes;
  uint8_t TypeCode = 0;  // '0' MIDI, '1' MP3, '2' WAV
};

// Every music block of the saver, in stored order. Throws ESaverFileError.
std::vector<TMusicBlock> MusicOf(const TSaverFileReader& saver);

}  // namespace kestrava
