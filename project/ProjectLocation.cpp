#include "project/ProjectLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "project/ProfileText.h"

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
  const bool writable = fs::is_directory(programFolder, error) &&
                        ::access(programFolder.c_str(), W_OK | X_OK) == 0;
  return writable ? programFolder : HomeFolder();
}

fs::path SaveAsTarget(std::string_view dialogFileName) {
  const size_t slash = dialogFileName.rfind('/');
  const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  return fs::path(std::string(dialogFileName.substr(0, nameStart)) +
                  AsciiLower(dialogFileName.substr(nameStart)));
}

}  // namespace kestrava::project
