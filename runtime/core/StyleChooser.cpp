#include "runtime/core/StyleChooser.h"

#include "transitions/TransitionEffects.h"

namespace kestrava {

TStyleChooser::TStyleChooser(std::span<const uint8_t> flags, uint32_t seed) : random_(seed) {
  for (size_t style = 1; style < flags.size() && style <= kMaxTransitionStyle; ++style)
    if (flags[style] != 0) styles_.push_back(int(style));
}

int TStyleChooser::Next() {
  if (styles_.empty()) return 0;
  return styles_[std::uniform_int_distribution<size_t>(0, styles_.size() - 1)(random_)];
}

}  // namespace kestrava
