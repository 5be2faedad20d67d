#include "saver/OfferedEffects.h"

#include <algorithm>
#include <array>

namespace kestrava {

namespace {

constexpr int kLastListedStyle = 122;
constexpr std::array kExcluded = {7,  9,  16, 17, 24, 25,  26,  27,  33, 34,
                                  47, 48, 49, 50, 51, 119, 120, 121, 122};

}  // namespace

std::span<const int> ExcludedEffectStyles() {
  return kExcluded;
}

const std::vector<int>& OfferedEffectStyles() {
  static const std::vector<int> styles = [] {
    std::vector<int> out;
    for (int style = 1; style <= kLastListedStyle; ++style)
      if (std::find(kExcluded.begin(), kExcluded.end(), style) == kExcluded.end())
        out.push_back(style);
    return out;
  }();
  return styles;
}

bool IsOfferedEffectStyle(int style) {
  const std::vector<int>& offered = OfferedEffectStyles();
  return std::binary_search(offered.begin(), offered.end(), style);
}

}  // namespace kestrava
