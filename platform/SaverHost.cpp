#include "platform/SaverHost.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/DetachedProcess.h"

namespace kestrava {

namespace {

namespace fs = std::filesystem;

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// XDG_CURRENT_DESKTOP is a colon-separated list such as "ubuntu:GNOME".
bool NamesDesktop(const std::string& currentDesktop, const std::string& name) {
  std::istringstream parts(currentDesktop);
  for (std::string part; std::getline(parts, part, ':');) {
    std::transform(part.begin(), part.end(), part.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    if (part == name) return true;
  }
  return false;
}

// The program names (the kernel's 15-letter "comm") of this user's processes.
std::vector<std::string> RunningPrograms() {
  std::vector<std::string> names;
  std::error_code error;
  const uid_t me = ::getuid();
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    const std::string pid = entry.path().filename().string();
    if (pid.empty() ||
        !std::all_of(pid.begin(), pid.end(), [](unsigned char c) { return std::isdigit(c); }))
      continue;
    std::ifstream status(entry.path() / "status");
    std::string line, name;
    bool mine = false;
    while (std::getline(status, line)) {
      // A process may have renamed itself to nothing: "Name:" and no more.
      if (line.starts_with("Name:")) {
        const size_t start = line.find_first_not_of(" \t", 5);
        name = start == std::string::npos ? std::string() : line.substr(start);
      }
      if (line.starts_with("Uid:")) {
        std::istringstream ids(line.substr(4));
        uid_t real = 0;
        mine = (ids >> real) && real == me;
        break;
      }
    }
    if (mine && !name.empty()) names.push_back(name);
  }
  return names;
}

std::string FileName(const std::string& path) {
  return fs::path(path).filename().string();
}

}  // namespace

TSaverHost SaverHostFrom(const std::string& currentDesktop, const std::string& sessionType,
                         const std::function<bool(const std::string&)>& onPath,
                         const std::vector<std::string>& runningPrograms) {
  TSaverHost host;
  host.XScreenSaverInstalled = onPath("xscreensaver");
  host.XScreenSaverRunning = Contains(runningPrograms, "xscreensaver");
  host.Wayland = sessionType == "wayland";
  const struct {
    const char* Key;
    const char* Name;
  } ownLockers[] = {{"GNOME", "GNOME"},       {"KDE", "KDE Plasma"},   {"X-CINNAMON", "Cinnamon"},
                    {"CINNAMON", "Cinnamon"}, {"UNITY", "Unity"},      {"BUDGIE", "Budgie"},
                    {"DEEPIN", "Deepin"},     {"PANTHEON", "Pantheon"}};
  for (const auto& locker : ownLockers) {
    if (NamesDesktop(currentDesktop, locker.Key)) {
      host.OwnLockerDesktop = locker.Name;
      break;
    }
  }
  // The kernel cuts a process name to 15 letters: "xfce4-screensaver" shows as "xfce4-screensav".
  for (const char* saver : {"xfce4-screensaver", "mate-screensaver"}) {
    const std::string shown = std::string(saver).substr(0, 15);
    if (Contains(runningPrograms, shown)) host.OtherSaver = saver;
  }
  return host;
}

TSaverHost DetectSaverHost() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const char* session = std::getenv("XDG_SESSION_TYPE");
  return SaverHostFrom(
      desktop ? desktop : "", session ? session : "",
      [](const std::string& name) { return !FindOnPath(name).empty(); }, RunningPrograms());
}

std::string InstallReport(const std::string& saverPath, const TSaverHost& host) {
  std::string text = "\"" + FileName(saverPath) +
                     "\" is now the selected screen saver in XScreenSaver's settings "
                     "(~/.xscreensaver).\n\n";
  if (host.Wayland)
    return text +
           "This is a Wayland session: XScreenSaver cannot blank its screen, so the saver will "
           "not start by itself. Log in to an X11 (Xorg) session to use it, or start the saver "
           "file by hand.";
  if (host.XScreenSaverRunning)
    return text + "XScreenSaver is running and will show it when the screen blanks.";
  if (!host.OwnLockerDesktop.empty())
    return text + host.OwnLockerDesktop +
           " blanks and locks the screen with its own screen locker, which runs no other screen "
           "savers: it will not show this saver. To see it when the screen blanks, run "
           "XScreenSaver in place of the desktop's own screen locker.";
  // mate-screensaver (and xfce4-screensaver, made from it) start a theme's program only from
  // their own system folder: a user's saver file cannot be one of their themes.
  if (!host.OtherSaver.empty())
    return text + host.OtherSaver +
           " is this desktop's screen saver. It runs only the screen savers installed in its own "
           "system folder, so it will not show this saver. To see it, use XScreenSaver in its "
           "place.";
  if (!host.XScreenSaverInstalled)
    return text +
           "XScreenSaver is not installed, so nothing will start the saver yet. Install it with "
           "your distribution's package manager, for instance:\n    sudo apt install xscreensaver\n"
           "Then start it (xscreensaver --no-splash) with your session.";
  return text +
         "XScreenSaver is installed but not running: start it (xscreensaver --no-splash) and "
         "add it to your session's start-up programs, and it will show the saver when the "
         "screen blanks.";
}

}  // namespace kestrava
