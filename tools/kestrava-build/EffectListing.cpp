#include "tools/kestrava-build/EffectListing.h"

#include <cstdio>

#include "saver/OfferedEffects.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

std::string EffectListing() {
  std::string text = "style  wizard  name\n";
  int entry = 0;
  for (int style = 1; style <= kMaxTransitionStyle; ++style) {
    // The wizard's list names an offered style "effect k" by its place in the list.
    char wizard[16] = "-";
    if (IsOfferedEffectStyle(style)) std::snprintf(wizard, sizeof wizard, "%d", ++entry);
    char line[160];
    const std::string_view name = StyleNameOf(TTransitionStyle(style));
    std::snprintf(line, sizeof line, "%5d  %-6s  %.*s\n", style, wizard, int(name.size()),
                  name.data());
    text += line;
  }
  return text;
}

}  // namespace kestrava
