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

// "Cannot open project <path>: <reason>": a project file that cannot be read whole.
class EProjectReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Most entries a loaded list takes: a hostile count must not make millions of placeholders.
inline constexpr size_t kMaxProjectListEntries = 100000;
// Style numbers of the transition catalogue; a stored style outside 1..this is dropped.
inline constexpr int kCatalogueStyles = 150;

// Writes the settings key by key in the order of kProjectKeys (a Linux target by removing
// kTargetKey), each key replaced where it stands
// or added, everything else in the file kept (longer lists' leftover keys included). The edits
// are made in memory and the file is replaced once, atomically, or not at all: a key that cannot
// be stored (a line break in a path) or a file that cannot be replaced (no permission, missing
// folder, full disk) leaves the old file byte for byte, and EProjectWriteError follows.
void SaveProjectFile(const std::filesystem::path& target, const TProjectSettings& settings);

// The settings the wizard shows after loading the file over `current`: every key read with its
// default (a missing file gives all defaults), a `type` other than "pic" or "fla" keeping the
// current kind, the quit-mode index kept within -1..4 and the output type within -1..1, the
// interval unbounded, an empty output name taken from the first source, the styles as
// ParseStyles reads them, the mask on only for Mask=1, FitMode 1 or 2 (anything else 0),
// Smooth on only for Smooth=1 and a Windows saver only for Target=windows (a file without the key
// is a Linux project).
TProjectSettings LoadProjectFile(const std::filesystem::path& path,
                                 const TProjectSettings& current);
// Opening a project the user chose: a file that is no regular file, unreadable or larger than a
// profile file can be would load as all defaults, so EProjectReadError says why instead. A
// missing file passes: it is a new project of that name.
void CheckProjectReadable(const std::filesystem::path& path);
TProjectSettings ReadProjectSettings(const TIniText& text, const TProjectSettings& current);

// The stored `styles` value: catalogue numbers separated by commas, anything else (blanks,
// words, numbers outside 1..kCatalogueStyles, overflowing digits) skipped; ascending, each once.
std::vector<int> ParseStyles(std::string_view text);

// The close check's comparison of everything a save writes: the type, every source and music
// path in order, the quit-mode index, the interval, the output path, name and type, the ticked
// styles, the mask, the fit mode and smoothing, and the target system. A change to any of them is a
// change the user would lose.
bool ProjectMatchesFile(const std::filesystem::path& path, const TProjectSettings& current);
bool SettingsMatch(const TIniText& text, const TProjectSettings& current);

// The output name the wizard derives from a source: its file-name part without the last four
// characters ("holiday.jpg" gives "holiday", "sunset.jpeg" gives "sunset.").
std::string OutputNameFromSource(std::string_view source);

}  // namespace kestrava::project
