#pragma once

// The effects a picture saver can be built with: the effect list offers 103 of the catalogue's
// styles, and its ticked entries become the saver's effect flags.

#include <span>
#include <vector>

namespace kestrava {

// Styles in 1..122 the list leaves out; 123 to 150 are never offered either.
std::span<const int> ExcludedEffectStyles();

// The style numbers of the list's entries, in order: 1..122 without the excluded ones.
const std::vector<int>& OfferedEffectStyles();

bool IsOfferedEffectStyle(int style);

}  // namespace kestrava
