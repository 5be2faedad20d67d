#pragma once

// How the saver program was started: the platform's screen-saver arguments, XScreenSaver's, and
// a test mode that renders frames to files.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrava {

class ERuntimeUsage : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TRunMode {
  FullScreen,  // no argument or /s
  Configure,   // /c or /c:HWND: nothing to configure (Linux exits quietly, Windows says so)
  Preview,     // /p HWND: Windows draws into that window; Linux has none and exits quietly
  InWindow,    // -root, -window-id ID or XSCREENSAVER_WINDOW: draw into that window
  Dump,        // --frames N --dump DIR: frames to PNG files, no display
  Help,
};

// --dump without --size: frames of the stored size, at most this many pixels a side.
inline constexpr int kMaxDumpSide = 4096;

struct TRuntimeOptions {
  TRunMode Mode = TRunMode::FullScreen;
  std::optional<std::string> Payload;  // --payload FILE instead of the program's own file
  uint64_t WindowId = 0;  // InWindow (0: the root window); Preview's and Configure's HWND
  bool RootWindow = false;
  int Frames = 0;
  std::string DumpDir;
  int Width = 0, Height = 0;  // --size; 0 for the stored pictures' size
  std::optional<uint32_t> Seed;
};

// xscreensaverWindow: the XSCREENSAVER_WINDOW environment variable, if set. Throws ERuntimeUsage.
TRuntimeOptions ParseRuntimeOptions(const std::vector<std::string>& args,
                                    const char* xscreensaverWindow);

extern const char* const kRuntimeUsage;

}  // namespace kestrava
