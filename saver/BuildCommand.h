#pragma once

// The build command: checks what the user chose, writes the runtime program and the payload to
// the output path, and reports the result. The wizard and kestrava-build both run exactly this;
// each gives its own way of showing messages and a busy cursor.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "saver/FitToScreen.h"
#include "saver/ParallelPictures.h"
#include "saver/Resources.h"
#include "saver/SaverFormat.h"

namespace kestrava {

inline constexpr std::string_view kNoSourcesMessage =
    "Please Select Pictures or Flash Files first!";
inline constexpr std::string_view kNoEffectsMessage =
    "Please select at least one effect for the screensaver!";
inline constexpr std::string_view kUnsupportedMessage = "file not support";
inline constexpr std::string_view kSucceededMessage = "Process succeed!";
inline constexpr std::string_view kFailedMessage = "Process failed!";
inline constexpr std::string_view kInformationCaption = "Information";
inline constexpr std::string_view kFlashLinuxOnlyMessage =
    "Flash savers play on Linux only for now: a Flash saver cannot be built for Windows.";
inline constexpr std::string_view kNoWindowsRuntimeMessage =
    "This builder was made without the Windows saver program, so it cannot build savers for "
    "Windows.";

// The runtime programs among the builder's resources, one for each system a saver is made for.
inline constexpr std::string_view kRuntimeType = "exefile";
inline constexpr std::string_view kLinuxRuntimeName = "head";
inline constexpr std::string_view kWindowsRuntimeName = "headwin";

using TSaverTarget = project::TSaverTarget;

enum class TMessageKind {
  Plain,        // captioned with the application's title, one OK button
  Information,  // captioned "Information", with the information icon
  Error,        // a failure: captioned with the application's title, with the error icon
};

class IBuildFeedback {
 public:
  virtual ~IBuildFeedback() = default;
  // The application-starting cursor for the whole application, on at the start, off at the end.
  virtual void BusyCursor(bool busy) = 0;
  virtual void ShowBuildPage() = 0;
  virtual void StopMusicPreview() = 0;
  virtual void ShowMessage(std::string_view text, TMessageKind kind) = 0;
  // Picture `index` of `count` is ready and about to be written.
  virtual void PictureWritten(size_t /*index*/, size_t /*count*/, const std::string& /*source*/) {}
};

struct TBuildRequest {
  TSaverKind Kind = TSaverKind::Pictures;
  std::vector<std::string> Sources;
  std::vector<std::string> Music;
  std::vector<int> TickedStyles;  // the style numbers of the ticked effect entries
  int QuitMode = kMinQuitMode;
  int IntervalSeconds = 8;
  // The mask is used when switched on and named; it lies in the program's own folder.
  bool UseMask = false;
  std::string MaskFileName;
  std::filesystem::path ProgramDir;
  TScreenSize Screen;
  // How pictures are sized for the screen: the project's FitMode and Smooth.
  TPictureFit Fit;
  std::string OutputDir;  // with its trailing "/"
  std::string OutputName;
  int OutputType = 0;  // 0 ".scr", 1 ".exe"
  // The system the saver runs on: which runtime program heads the file.
  TSaverTarget Target = TSaverTarget::Linux;
  std::span<const TResource> Resources;
  // The project the build comes from, when it has a file: the saver must never replace it.
  std::filesystem::path ProjectFile;
  unsigned Threads = BuildThreads();
};

struct TBuildResult {
  bool Built = false;
  // The path of a build that got as far as writing; unset when a check stopped it before.
  std::optional<std::string> BuiltSaverPath;
  std::string FailureReason;  // what went wrong, for a log or a detail line
};

TBuildResult RunBuild(const TBuildRequest& request, IBuildFeedback& feedback);

// The message that refuses a saver of this kind for this system, or for a system whose runtime
// the resources lack; empty when it can be built. RunBuild refuses with it before anything else.
std::string TargetRefusal(TSaverKind kind, TSaverTarget target,
                          std::span<const TResource> resources);

// The name of the runtime resource that heads a saver for the target.
std::string_view RuntimeNameFor(TSaverTarget target);

// The message that refuses lists the saver file cannot hold; empty when they fit.
std::string LimitsMessage(TSaverKind kind, size_t sourceCount, size_t musicCount);

}  // namespace kestrava
