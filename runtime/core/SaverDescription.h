#pragma once

// What the saver's settings note says: what the saver holds, and that there is nothing to set.

#include <cstddef>
#include <string>

#include "saver/SaverFileReader.h"

namespace kestrava {

// "This saver shows 12 pictures with music." and the like, then "It has no options."
std::string SaverDescription(const TSaverFileReader& saver);

// The first sentence alone, from the counts.
std::string HoldsSentence(bool flash, size_t shown, size_t music);

}  // namespace kestrava
