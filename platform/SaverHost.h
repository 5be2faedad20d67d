#pragma once

// What on this desktop would run an installed saver: XScreenSaver (installed, running), the
// session (a Wayland session, a desktop whose own locker runs no other savers) and a desktop
// saver of another kind. Install tells the user from this what will happen and what to do.

#include <functional>
#include <string>
#include <vector>

namespace kestrava {

struct TSaverHost {
  bool XScreenSaverInstalled = false;
  bool XScreenSaverRunning = false;
  bool Wayland = false;
  // The desktop's name when its own screen locker runs no third-party savers (GNOME, KDE
  // Plasma, Cinnamon, ...); empty otherwise.
  std::string OwnLockerDesktop;
  // xfce4-screensaver or mate-screensaver when one of them runs as the desktop's saver.
  std::string OtherSaver;
};

// The facts as seen from the environment's XDG_CURRENT_DESKTOP and XDG_SESSION_TYPE, whether a
// program is on PATH, and the names of this user's running processes.
TSaverHost SaverHostFrom(const std::string& currentDesktop, const std::string& sessionType,
                         const std::function<bool(const std::string&)>& onPath,
                         const std::vector<std::string>& runningPrograms);

// The same for this session.
TSaverHost DetectSaverHost();

// What Install says after it wrote ~/.xscreensaver: the saver, and whether and how it will run.
std::string InstallReport(const std::string& saverPath, const TSaverHost& host);

}  // namespace kestrava
