// `kestrava-tool project FILE.kvp`: the settings the wizard shows after loading a project file at
// start-up, one per line.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "project/ProjectFile.h"
#include "project/ProjectSettings.h"
#include "tools/kestrava-tool/Commands.h"

namespace kestrava::tool {

namespace {

// The wizard starts with its own folder as the output path.
std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string("./") : self.parent_path().string() + "/";
}

}  // namespace

int RunProject(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: kestrava-tool project FILE.kvp\n");
    return 2;
  }
  using namespace project;
  const TProjectSettings settings = LoadProjectFile(args[0], StartupSettings(ProgramFolder()));
  std::cout << "kind=" << (settings.Kind == TSaverKind::Pictures ? "pic" : "fla") << '\n';
  for (const std::string& source : settings.Sources)
    std::cout << "source=" << source << '\n';
  for (const std::string& music : settings.MusicFiles)
    std::cout << "music=" << music << '\n';
  std::cout << "quitIndex=" << settings.QuitIndex << '\n'
            << "interval=" << settings.Interval << '\n'
            << "outPath=" << settings.OutPath << '\n'
            << "outName=" << settings.OutName << '\n'
            << "outType=" << settings.OutType << '\n';
  return std::cout.flush() ? 0 : 1;
}

}  // namespace kestrava::tool
