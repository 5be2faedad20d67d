#include "platform/Desktop.h"

#include "platform/DetachedProcess.h"
#include "platform/WindowsSaver.h"
#include "platform/XScreenSaverInstall.h"

namespace kestrava {

namespace {

class TDesktop final : public IDesktop {
 public:
  bool StartDetached(const std::string& program) override {
    return SpawnDetached(program, {program});
  }

  bool StartWindowsSaver(const std::string& saverPath) override {
    const std::string wine = FindOnPath("wine");
    if (wine.empty()) return false;
    SpawnDetached(wine, WinePreviewCommand(wine, saverPath));
    return true;
  }

  bool OpenDocument(const std::string& path) override {
    const std::string opener = FindOnPath("xdg-open");
    if (opener.empty()) return false;
    // The opener would read a leading "-" as an option of its own.
    return SpawnDetached(opener, {opener, !path.empty() && path[0] == '-' ? "./" + path : path});
  }

  void InstallSaver(const std::string& saverPath) override { InstallIntoXScreenSaver(saverPath); }

  bool OpenSaverSettings() override {
    for (const char* name : {"xscreensaver-settings", "xscreensaver-demo"}) {
      const std::string program = FindOnPath(name);
      if (!program.empty() && SpawnDetached(program, {program})) return true;
    }
    return false;
  }

  TSaverHost SaverHost() override { return DetectSaverHost(); }
};

}  // namespace

std::unique_ptr<IDesktop> MakeDesktop() {
  return std::make_unique<TDesktop>();
}

}  // namespace kestrava
