#pragma once

// The command line of kestrava-build.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "project/ProjectSettings.h"
#include "saver/FitToScreen.h"

namespace kestrava {

class EUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TBuildOptions {
  std::string Project;
  std::vector<int> Effects;   // the style numbers to tick
  bool EffectsGiven = false;  // --effects was on the command line
  bool Mask = false;
  std::optional<TScreenSize> Screen;
  std::optional<std::string> OutputDir;
  std::optional<std::string> Name;
  std::optional<int> Type;                      // 0 ".scr", 1 ".exe"
  std::optional<project::TSaverTarget> Target;  // over the project's own
  bool Quiet = false;
};

// Throws EUsageError with a message fit for the user. Without --effects every offered effect is
// ticked, as "Select All" does, unless the project has ticked styles of its own (see
// ChosenEffects).
TBuildOptions ParseBuildOptions(const std::vector<std::string>& args);

// "all" and "offered" (the effect list's entries), or numbers and ranges "N,N-M,...", each an
// offered style.
std::vector<int> ParseEffects(const std::string& text);

// The styles to build with: --effects when given, else the project's ticked styles the wizard
// offers, else every offered effect.
std::vector<int> ChosenEffects(const TBuildOptions& options, const std::vector<int>& projectStyles);

extern const char* const kBuildUsage;

}  // namespace kestrava
