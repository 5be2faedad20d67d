#pragma once

// The slide show on the saver's window by the wall clock, until the window says the saver ends.

#include <cstdint>

#include "runtime/win32/MciMusic.h"
#include "runtime/win32/SaverWindow.h"
#include "saver/SaverFileReader.h"

namespace kestrava {

// width/height 0: the stored pictures' size (the preview, which scales it). Throws
// ESaverFileError and EImageError.
void ShowPictures(const TSaverFileReader& saver, TSaverWindow& window, TMciMusic& music, int width,
                  int height, uint32_t seed);

}  // namespace kestrava
