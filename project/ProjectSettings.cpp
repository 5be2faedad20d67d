#include "project/ProjectSettings.h"

#include <utility>

namespace kestrava::project {

TProjectSettings StartupSettings(std::string programFolder) {
  TProjectSettings settings;
  settings.OutPath = std::move(programFolder);
  // A new project resamples smoothly; a project file without the key keeps the old way.
  settings.Smooth = true;
  return settings;
}

}  // namespace kestrava::project
