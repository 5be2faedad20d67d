#pragma once

// Runs the frame scripts of movies up to version 10 (AS1/2 byte code) as far as timeline control
// needs: stop, play, gotos in all their compiled forms, tellTarget, trace, variables, simple
// arithmetic and branches. Anything else is stepped over by its length without failing.

#include <cstdint>
#include <span>

#include "movie/ActionHost.h"

namespace kestrava {

class TActionRunner {
 public:
  // `budget` counts actions; a script that loops past it is cut off, and so is every other
  // script while it stays at zero.
  TActionRunner(IActionHost& host, int64_t& budget) : host_(host), budget_(budget) {}

  // One DoAction body with `clip` as this and as its target.
  void Run(uint64_t clip, std::span<const uint8_t> code);

 private:
  friend class TActionExecution;
  IActionHost& host_;
  int64_t& budget_;
  int callDepth_ = 0;
  uint64_t random_ = 0x2545F4914F6CDD1Dull;  // random() repeats from run to run
};

}  // namespace kestrava
