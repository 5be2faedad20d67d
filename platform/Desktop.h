#pragma once

// The desktop around the builder: starting the built saver (a Windows one through Wine), opening
// the manual, and making the saver the user's screen saver in XScreenSaver.

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/SaverHost.h"

namespace kestrava {

inline constexpr std::string_view kInstallFailedMessage = "Failed to set data for 'SCRNSAVE.EXE'";

class EInstallError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  // Starts the file as a program, detached, without arguments; the caller does not wait.
  // False when it could not be started (not reported to the user, but testable).
  virtual bool StartDetached(const std::string& program) = 0;
  // Starts a Windows saver full screen through Wine (WinePreviewCommand), detached. False when
  // Wine is not installed (no `wine` on PATH); a Wine that fails is not reported.
  virtual bool StartWindowsSaver(const std::string& saverPath) = 0;
  // Opens a document (the manual) with the desktop's default opener (xdg-open), detached.
  // False when there is no opener; the opener's own failure is not reported.
  virtual bool OpenDocument(const std::string& path) = 0;
  // Makes the saver XScreenSaver's selected program in ~/.xscreensaver ($HOME), creating the
  // file if missing and keeping the user's other programs and settings. Nothing happens when no
  // file is at saverPath. Throws EInstallError with kInstallFailedMessage when the settings file
  // cannot be read or written; the old file then stays as it was.
  virtual void InstallSaver(const std::string& saverPath) = 0;
  // Starts xscreensaver-settings, else xscreensaver-demo, when installed (searched on PATH);
  // false when neither is installed.
  virtual bool OpenSaverSettings() = 0;
  // What would run the installed saver on this desktop.
  virtual TSaverHost SaverHost() = 0;
};

std::unique_ptr<IDesktop> MakeDesktop();

}  // namespace kestrava
