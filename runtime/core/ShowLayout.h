#pragma once

// Where a full-screen show goes when the window spans several monitors: every monitor shows the
// same show, fitted to its own size, so none stays black beside it. Spanning one picture across
// the monitors would cut it at the bezels, and the pictures are prepared for one screen's shape.

#include <span>
#include <vector>

#include "raster/Rect.h"

namespace kestrava {

struct TShowLayout {
  // The show is made at the size of the largest monitor the window covers (the first of equals).
  int ShowWidth = 0, ShowHeight = 0;
  // Where each monitor shows it, in window coordinates: the show's size when the monitor has it,
  // otherwise scaled to fit the monitor and centred on it.
  std::vector<TRect> Targets;
};

// window and monitors in root-window coordinates. A window on no monitor, or monitors unknown,
// shows the show once over the whole window.
TShowLayout LayOutShow(const TRect& window, std::span<const TRect> monitors);

}  // namespace kestrava
