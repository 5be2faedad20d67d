#pragma once

#include <optional>

#include "saver/FitToScreen.h"

namespace kestrava {

// The size of the primary display of the X server named by DISPLAY; nothing without one.
std::optional<TScreenSize> PrimaryDisplaySize();

}  // namespace kestrava
