#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrava::project {

enum class TSaverKind : uint8_t { Pictures = 0, Flash = 1 };
// The system a saver is made for: the runtime program at its head.
enum class TSaverTarget : uint8_t { Linux = 0, Windows = 1 };

// Everything a project file holds, as the wizard's controls show it.
struct TProjectSettings {
  TSaverKind Kind = TSaverKind::Pictures;
  std::vector<std::string> Sources;     // pictures or movies, in build order
  std::vector<std::string> MusicFiles;  // in play order
  int32_t QuitIndex = 0;                // item of the quit-mode group: 0..4, -1 for none
  int32_t Interval = 8;                 // seconds between two pictures, unbounded
  std::string OutPath;                  // output folder, normally ending in "/"
  std::string OutName;                  // saver's base name
  int32_t OutType = 0;                  // 0 ".scr", 1 ".exe", -1 for none
  std::vector<int> Styles;              // ticked catalogue style numbers, ascending
  bool Mask = false;                    // darken the pictures through the mask
  // How pictures meet the screen: 0 shrunk only, 1 fitted (enlarged too), 2 filling it, cropped.
  int32_t FitMode = 0;
  bool Smooth = false;  // resampled with a filter rather than by dropping pixels
  TSaverTarget Target = TSaverTarget::Linux;

  friend bool operator==(const TProjectSettings&, const TProjectSettings&) = default;
};

// The wizard at start-up: pictures, empty lists, "Mouse move", 8 seconds, the program's own
// folder (with its trailing "/"), no name, ".scr", pictures shrunk only but smoothly.
TProjectSettings StartupSettings(std::string programFolder);

}  // namespace kestrava::project
