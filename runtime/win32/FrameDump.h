#pragma once

// The frame dump of the Windows saver: the same fixed clock as on Linux, frames as BMP files.

#include "runtime/core/RuntimeOptions.h"
#include "saver/SaverFileReader.h"

namespace kestrava {

// Writes options.Frames frames to options.DumpDir/frame-00000.bmp ... Throws EFrameWriteError,
// ESaverFileError and EImageError.
void DumpFrames(const TSaverFileReader& saver, const TRuntimeOptions& options);

}  // namespace kestrava
