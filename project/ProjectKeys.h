#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kestrava::project {

// One key of a project file and the value a read uses when the key (or the file) is missing.
struct TProjectKey {
  std::string_view Section;
  std::string_view Key;
  std::string_view Default;
};

inline constexpr TProjectKey kSaverTypeKey{"saverType", "type", "fla"};
inline constexpr TProjectKey kSourceCountKey{"dataFiles", "filenum", "0"};
inline constexpr TProjectKey kSourceKey{"dataFiles", "file", "none"};  // + index from 0
inline constexpr TProjectKey kMusicCountKey{"musicFiles", "musicnum", "0"};
inline constexpr TProjectKey kMusicKey{"musicFiles", "music", "none"};  // + index from 0
inline constexpr TProjectKey kQuitModeKey{"myOptions", "quitMode", "0"};
inline constexpr TProjectKey kDelayTimeKey{"myOptions", "DelayTime", "3"};
inline constexpr TProjectKey kOutPathKey{"myBuild", "OutPath", ""};
inline constexpr TProjectKey kOutFileNameKey{"myBuild", "OutFileName", ""};
inline constexpr TProjectKey kOutTypeKey{"myBuild", "OutType", "0"};
// Newer keys: files written before them lack them and load with nothing ticked and no mask.
inline constexpr TProjectKey kStylesKey{"myEffects", "styles", ""};
inline constexpr TProjectKey kMaskKey{"myOptions", "Mask", "0"};
// Newer still: without them pictures are shrunk only, by dropping pixels.
inline constexpr TProjectKey kFitModeKey{"myOptions", "FitMode", "0"};
inline constexpr TProjectKey kSmoothKey{"myOptions", "Smooth", "0"};

// Written only for a Windows saver: a Linux project's file stays as older builders wrote it, and
// a file without the key is a Linux project.
inline constexpr TProjectKey kTargetKey{"myBuild", "Target", ""};
inline constexpr std::string_view kWindowsTarget = "windows";

// In the order a save writes them (the target, written only for Windows, comes last); the source
// and music keys repeat once per list entry.
inline constexpr std::array kProjectKeys = {
    kSaverTypeKey, kSourceCountKey, kSourceKey,  kMusicCountKey,  kMusicKey,
    kQuitModeKey,  kDelayTimeKey,   kOutPathKey, kOutFileNameKey, kOutTypeKey,
    kStylesKey,    kMaskKey,        kFitModeKey, kSmoothKey,
};

// "file3", "music0": a list key followed by its index in decimal.
std::string IndexedKey(const TProjectKey& key, size_t index);

}  // namespace kestrava::project
