#pragma once

#include <string_view>

#include "saver/BuildCommand.h"

namespace kestrava {

// A build with nobody to tell: for builds inside benchmarks.
class TQuietFeedback : public IBuildFeedback {
 public:
  void BusyCursor(bool) override {}
  void ShowBuildPage() override {}
  void StopMusicPreview() override {}
  void ShowMessage(std::string_view, TMessageKind) override {}
};

}  // namespace kestrava
