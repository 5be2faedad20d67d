#pragma once

// kestrava-build --list-effects: every catalogue style with its name and whether the wizard's
// effect list offers it (only those can go into a saver).

#include <string>

namespace kestrava {

std::string EffectListing();

}  // namespace kestrava
