#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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
// Style numbers of the transition catalogue; a stored style outside 1..this is dropped.
inline constexpr int kCatalogueStyles = 150;

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
// interval unbounded, an empty output name taken from the first source, the styles as
// ParseStyles reads them and the mask on only for Mask=1.
TProjectSettings LoadProjectFile(const std::filesystem::path& path,
                                 const TProjectSettings& current);
TProjectSettings ReadProjectSettings(const TIniText& text, const TProjectSettings& current);

// The stored `styles` value: catalogue numbers separated by commas, anything else (blanks,
// words, numbers outside 1..kCatalogueStyles, overflowing digits) skipped; ascending, each once.
std::vector<int> ParseStyles(std::string_view text);

// The close check's comparison of everything a save writes: the type, every source and music
// path in order, the quit-mode index, the interval, the output path, name and type, the ticked
// styles and the mask. A change to any of them is a change the user would lose.
bool ProjectMatchesFile(const std::filesystem::path& path, const TProjectSettings& current);
bool SettingsMatch(const TIniText& text, const TProjectSettings& current);

// The output name the wizard derives from a source: its file-name part without the last four
// characters ("holiday.jpg" gives "holiday", "sunset.jpeg" gives "sunset.").
std::string OutputNameFromSource(std::string_view source);

}  // namespace kestrava::project
