#pragma once

// The install behind IDesktop::InstallSaver: ~/.xscreensaver read, edited and replaced in one step.

#include <filesystem>
#include <string>

namespace kestrava {

// ~/.xscreensaver: in $HOME, else in the home folder of the user's account; empty when neither
// is known.
std::filesystem::path XScreenSaverSettingsFile();

// Makes the saver at saverPath the selected program of XScreenSaver; nothing when no file is
// there. Throws EInstallError with kInstallFailedMessage when the settings cannot be read or
// written, leaving the old file as it was. XScreenSaver sees the new file date and reads it again.
void InstallIntoXScreenSaver(const std::string& saverPath);

}  // namespace kestrava
