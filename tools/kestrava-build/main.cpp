// kestrava-build: builds the saver of a project file without the wizard, through the same
// pipeline, printing the messages the wizard shows.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "project/ProjectFile.h"
#include "saver/BuildCommand.h"
#include "saver/embedded/EmbeddedRuntime.h"
#include "tools/kestrava-build/BuildOptions.h"
#include "tools/kestrava-build/EffectListing.h"
#include "tools/kestrava-build/PrimaryDisplay.h"

namespace kestrava {
namespace {

namespace fs = std::filesystem;

constexpr TScreenSize kScreenWithoutDisplay{1920, 1080};
constexpr const char* kMaskFileName = "mask1.jpg";

class TConsoleFeedback : public IBuildFeedback {
 public:
  explicit TConsoleFeedback(bool quiet) : quiet_(quiet) {}
  void BusyCursor(bool) override {}
  void ShowBuildPage() override {}
  void StopMusicPreview() override {}
  void ShowMessage(std::string_view text, TMessageKind) override {
    std::printf("%.*s\n", int(text.size()), text.data());
    std::fflush(stdout);
  }
  void PictureWritten(size_t index, size_t count, const std::string& source) override {
    if (quiet_) return;
    std::printf("picture %zu/%zu: %s\n", index + 1, count, source.c_str());
    std::fflush(stdout);
  }

 private:
  bool quiet_;
};

fs::path ProgramDir() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::current_path() : self.parent_path();
}

int Run(const std::vector<std::string>& args) {
  if (args.size() == 1 && args[0] == "--list-effects") {
    std::fputs(EffectListing().c_str(), stdout);
    return 0;
  }
  if (std::find(args.begin(), args.end(), "--help") != args.end() ||
      std::find(args.begin(), args.end(), "-h") != args.end()) {
    std::fputs(kBuildUsage, stdout);
    return 0;
  }
  const TBuildOptions options = ParseBuildOptions(args);
  std::error_code error;
  if (!fs::exists(options.Project, error))
    throw project::EProjectReadError("Cannot open project " + options.Project + ": " +
                                     std::strerror(ENOENT));
  project::CheckProjectReadable(options.Project);
  const fs::path programDir = ProgramDir();
  project::TProjectSettings settings = project::LoadProjectFile(
      options.Project, project::StartupSettings(programDir.string() + "/"));
  if (options.OutputDir) settings.OutPath = *options.OutputDir;
  if (options.Name) settings.OutName = *options.Name;
  if (options.Type) settings.OutType = *options.Type;
  if (options.Target) settings.Target = *options.Target;
  // Refused before the build starts, on standard error like the tool's other failures.
  if (const std::string refusal = TargetRefusal(settings.Kind, settings.Target, ProgramResources());
      !refusal.empty())
    throw std::runtime_error(refusal);

  TBuildRequest request;
  request.Kind = settings.Kind;
  request.Sources = settings.Sources;
  request.Music = settings.MusicFiles;
  request.TickedStyles = ChosenEffects(options, settings.Styles);
  request.QuitMode = settings.QuitIndex + 1;
  request.IntervalSeconds = settings.Interval;
  // The project's own mask counts as well; --mask only ever adds it.
  const bool mask = options.Mask || settings.Mask;
  request.UseMask = mask;
  request.MaskFileName = mask ? kMaskFileName : "";
  request.ProgramDir = programDir;
  request.Screen =
      options.Screen ? *options.Screen : PrimaryDisplaySize().value_or(kScreenWithoutDisplay);
  request.Fit = {TFitMode(settings.FitMode), settings.Smooth};
  request.OutputDir = settings.OutPath;
  request.OutputName = settings.OutName;
  request.OutputType = settings.OutType;
  request.Target = settings.Target;
  request.Resources = ProgramResources();
  request.ProjectFile = options.Project;

  TConsoleFeedback feedback(options.Quiet);
  const TBuildResult result = RunBuild(request, feedback);
  if (result.Built) {
    if (!options.Quiet) std::printf("saver: %s\n", result.BuiltSaverPath->c_str());
    return 0;
  }
  // The messages above already said what failed and why.
  return 1;
}

}  // namespace
}  // namespace kestrava

int main(int argc, char** argv) {
  // A file-size limit then fails the write with a reason instead of killing the build midway.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return kestrava::Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const kestrava::EUsageError& e) {
    std::fprintf(stderr, "%s\n%s", e.what(), kestrava::kBuildUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrava-build: %s\n", e.what());
    return 1;
  }
}
