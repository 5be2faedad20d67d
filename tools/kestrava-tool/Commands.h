#pragma once

#include <string>
#include <vector>

namespace kestrava::tool {

// Each command gets its arguments after the command name and returns the exit code.
int RunDecode(const std::vector<std::string>& args);
int RunRegion(const std::vector<std::string>& args);
int RunFrame(const std::vector<std::string>& args);
int RunGallery(const std::vector<std::string>& args);
int RunIni(const std::vector<std::string>& args);
int RunProject(const std::vector<std::string>& args);
int RunGifFrames(const std::vector<std::string>& args);
int RunSaverInfo(const std::vector<std::string>& args);
int RunSaverExtract(const std::vector<std::string>& args);
int RunSwfInfo(const std::vector<std::string>& args);
int RunSwfFrame(const std::vector<std::string>& args);

}  // namespace kestrava::tool
