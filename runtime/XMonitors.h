#pragma once

// What the X server says about its monitors and where a window lies on them.

#include <cstdint>
#include <vector>

#include "raster/Rect.h"

namespace kestrava {

// The monitors of the default screen in root-window coordinates: Xinerama's heads, which servers
// with RandR also report. Empty when the display cannot be opened or reports none.
std::vector<TRect> XMonitors();
// The root window of the default screen, all monitors together.
TRect XRootRect();
// Where the window is on the root window; empty when there is no such window.
TRect XWindowOnRoot(uint64_t window);

}  // namespace kestrava
