#pragma once

#include <filesystem>
#include <string_view>

namespace kestrava::project {

// The file a wizard is bound to from start-up, and the mark of a project not yet saved under a
// name of its own.
inline constexpr std::string_view kStartupProjectName = "temp.kvp";

// Where bare project names such as "temp.kvp" live: $XDG_CONFIG_HOME/kestrava when that is an
// absolute path, otherwise ~/.config/kestrava.
std::filesystem::path ProjectConfigFolder();

// A project name as the wizard holds it, as a path to open: a bare file name resolves into
// ProjectConfigFolder (as the platform resolved bare profile names into one fixed folder);
// anything with a folder part stays as it is.
std::filesystem::path ResolveProjectFile(std::string_view projectFileName);
bool IsBareProjectName(std::string_view projectFileName);

// The output folder a new wizard starts with: the program's own folder, unless the user cannot
// write there (a system-wide install), then the user's home folder.
std::filesystem::path StartOutputFolder(const std::filesystem::path& programFolder);

// The Save As target for the name the dialog returned, exactly as typed: file names are
// case-sensitive here, and a lower-cased name could even overwrite another project. Empty for
// an empty name.
std::filesystem::path SaveAsTarget(std::string_view dialogFileName);

}  // namespace kestrava::project
