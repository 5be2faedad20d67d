#include "project/ProjectLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace kestrava::project {

namespace fs = std::filesystem;

namespace {

fs::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir)
    return user->pw_dir;
  return ".";
}

}  // namespace

fs::path ProjectConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config && fs::path(config).is_absolute()) return fs::path(config) / "kestrava";
  return HomeFolder() / ".config" / "kestrava";
}

bool IsBareProjectName(std::string_view projectFileName) {
  return !projectFileName.empty() && projectFileName.find('/') == std::string_view::npos;
}

fs::path ResolveProjectFile(std::string_view projectFileName) {
  if (IsBareProjectName(projectFileName)) return ProjectConfigFolder() / projectFileName;
  return fs::path(projectFileName);
}

fs::path StartOutputFolder(const fs::path& programFolder) {
  std::error_code error;
  const bool writable =
      fs::is_directory(programFolder, error) && ::access(programFolder.c_str(), W_OK | X_OK) == 0;
  return writable ? programFolder : HomeFolder();
}

fs::path SaveAsTarget(std::string_view dialogFileName) {
  return fs::path(dialogFileName);
}

}  // namespace kestrava::project
