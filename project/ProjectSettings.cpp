#include "project/ProjectSettings.h"

#include <utility>

namespace kestrava::project {

TProjectSettings StartupSettings(std::string programFolder) {
  TProjectSettings settings;
  settings.OutPath = std::move(programFolder);
  return settings;
}

}  // namespace kestrava::project
