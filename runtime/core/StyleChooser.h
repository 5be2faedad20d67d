#pragma once

// Which transition leads to the next picture: one of the styles the saver file flags, at random.

#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace kestrava {

class TStyleChooser {
 public:
  // flags: one byte per style number, 1 for each style the builder ticked.
  TStyleChooser(std::span<const uint8_t> flags, uint32_t seed);

  // A flagged style, every one equally likely; 0 (a plain cut) when none is flagged.
  int Next();
  const std::vector<int>& Styles() const { return styles_; }

 private:
  std::vector<int> styles_;
  std::mt19937 random_;
};

}  // namespace kestrava
