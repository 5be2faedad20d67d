#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "project/IniText.h"
#include "project/ProjectSettings.h"

namespace kestrava::project {

// "Unable to write to <path>": a project file that could not be written in full.
class EProjectWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Most entries a loaded list takes: a hostile count must not make millions of placeholders.
inline constexpr size_t kMaxProjectListEntries = 100000;

// Writes the settings key by key in the order of kProjectKeys, each key replaced where it stands
// or added, everything else in the file kept (longer lists' leftover keys included). The edits
// are made in memory and the file is replaced once, atomically. A key that cannot be stored (a
// line break in a path) stops the save there: the keys before it are written, as a save key by
// key would leave them, and EProjectWriteError follows. A file that cannot be replaced (no
// permission, missing folder, full disk) keeps its old content whole: the same outcome as a save
// key by key that fails on its first key.
void SaveProjectFile(const std::filesystem::path& target, const TProjectSettings& settings);

// The settings the wizard shows after loading the file over `current`: every key read with its
// default (a missing file gives all defaults), a `type` other than "pic" or "fla" keeping the
// current kind, the quit-mode index kept within -1..4 and the output type within -1..1, the
// interval unbounded, and an empty output name taken from the first source.
TProjectSettings LoadProjectFile(const std::filesystem::path& path,
                                 const TProjectSettings& current);
TProjectSettings ReadProjectSettings(const TIniText& text, const TProjectSettings& current);

// The close check's comparison, in this order, stopping at the first difference: with the
// picture kind only, the stored type is not "fla"; then the source count, the music count, the
// quit-mode index, the interval, the output path, the output name and the output type. The
// listed paths themselves are not compared.
bool ProjectMatchesFile(const std::filesystem::path& path, const TProjectSettings& current);
bool SettingsMatch(const TIniText& text, const TProjectSettings& current);

// The output name the wizard derives from a source: its file-name part without the last four
// characters ("holiday.jpg" gives "holiday", "sunset.jpeg" gives "sunset.").
std::string OutputNameFromSource(std::string_view source);

}  // namespace kestrava::project
