#pragma once

// A Windows saver on this Linux desktop: tried through Wine when it is installed, otherwise
// tried and installed on a Windows PC, which the user is told how to do.

#include <string>
#include <vector>

namespace kestrava {

// The command line that shows the saver full screen under Wine: `wine <saver> /s`.
std::vector<std::string> WinePreviewCommand(const std::string& wine, const std::string& saverPath);

// What Preview says when there is no Wine to run the saver here.
std::string WindowsPreviewAdvice(const std::string& saverPath);

// What Install says instead of touching this desktop's saver settings.
std::string WindowsInstallAdvice(const std::string& saverPath);

}  // namespace kestrava
