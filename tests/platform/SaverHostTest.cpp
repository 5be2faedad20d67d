// What Install tells the user: which desktop would run the saver, found from the session's
// environment, PATH and running programs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/SaverHost.h"

namespace kestrava {
namespace {

TEST(SaverHost, IsReadFromTheSessionPathAndProcesses) {
  struct Case {
    const char* name;
    std::string desktop, session;
    std::vector<std::string> onPath, running;
    TSaverHost expected;
  };
  const Case cases[] = {
      {"a bare X session with XScreenSaver running",
       "",
       "x11",
       {"xscreensaver"},
       {"bash", "xscreensaver"},
       {true, true, false, "", ""}},
      {"installed, not running",
       "XFCE",
       "x11",
       {"xscreensaver"},
       {"bash"},
       {true, false, false, "", ""}},
      {"GNOME under Wayland", "ubuntu:GNOME", "wayland", {}, {}, {false, false, true, "GNOME", ""}},
      {"Plasma", "KDE", "x11", {"xscreensaver"}, {}, {true, false, false, "KDE Plasma", ""}},
      {"Cinnamon", "X-Cinnamon", "x11", {}, {}, {false, false, false, "Cinnamon", ""}},
      {"XFCE's own saver, by its cut process name",
       "XFCE",
       "x11",
       {},
       {"xfce4-screensav"},
       {false, false, false, "", "xfce4-screensaver"}},
      {"MATE's own saver",
       "MATE",
       "x11",
       {},
       {"mate-screensave"},
       {false, false, false, "", "mate-screensaver"}},
      {"a desktop that only contains a locker's name",
       "GNOME-Flashback-ish",
       "x11",
       {},
       {},
       {false, false, false, "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TSaverHost host = SaverHostFrom(
        c.desktop, c.session,
        [&](const std::string& name) {
          return std::find(c.onPath.begin(), c.onPath.end(), name) != c.onPath.end();
        },
        c.running);
    EXPECT_EQ(host.XScreenSaverInstalled, c.expected.XScreenSaverInstalled);
    EXPECT_EQ(host.XScreenSaverRunning, c.expected.XScreenSaverRunning);
    EXPECT_EQ(host.Wayland, c.expected.Wayland);
    EXPECT_EQ(host.OwnLockerDesktop, c.expected.OwnLockerDesktop);
    EXPECT_EQ(host.OtherSaver, c.expected.OtherSaver);
  }
}

TEST(SaverHost, InstallReportSaysWhetherAndHowTheSaverWillRun) {
  struct Case {
    const char* name;
    TSaverHost host;
    std::string says;
  };
  const Case cases[] = {
      {"running", {true, true, false, "", ""}, "XScreenSaver is running and will show it"},
      {"not running", {true, false, false, "", ""}, "installed but not running: start it"},
      {"not installed", {false, false, false, "", ""}, "sudo apt install xscreensaver"},
      {"Wayland", {true, true, true, "GNOME", ""}, "This is a Wayland session"},
      {"own locker",
       {true, false, false, "KDE Plasma", ""},
       "KDE Plasma blanks and locks the screen with its own screen locker, which runs no other"},
      {"XScreenSaver in place of the desktop's locker",
       {true, true, false, "GNOME", ""},
       "XScreenSaver is running"},
      {"another saver",
       {false, false, false, "", "mate-screensaver"},
       "mate-screensaver is this desktop's screen saver. It runs only the screen savers installed "
       "in "
       "its own system folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string report = InstallReport("/home/me/savers/Holiday.scr", c.host);
    EXPECT_TRUE(report.starts_with("\"Holiday.scr\" is now the selected screen saver")) << report;
    EXPECT_NE(report.find(c.says), std::string::npos) << report;
  }
}

}  // namespace
}  // namespace kestrava
