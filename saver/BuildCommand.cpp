#include "saver/BuildCommand.h"

#include <mutex>
#include <system_error>

#include "saver/OutputPath.h"
#include "saver/PictureMask.h"
#include "saver/PreparePicture.h"
#include "saver/SaverPayload.h"
#include "saver/StagedSaverFile.h"

namespace kestrava {

namespace fs = std::filesystem;

namespace {

// Shows the busy cursor for as long as it lives.
class TBusyCursor {
 public:
  explicit TBusyCursor(IBuildFeedback& feedback) : feedback_(feedback) {
    feedback_.BusyCursor(true);
  }
  ~TBusyCursor() { feedback_.BusyCursor(false); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

 private:
  IBuildFeedback& feedback_;
};

// Where a path's own directory entry is: its folder resolved, its last name kept, so that a
// symbolic link at the end is the link and not what it points to.
fs::path EntryOf(const fs::path& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  if (error) return path;
  const fs::path folder = fs::weakly_canonical(absolute.parent_path(), error);
  return error ? absolute : folder / absolute.filename();
}

// The saver replaces the entry at its path: an input there, or one that entry leads to (a link
// to it, another name of the same file), would be lost.
bool WouldReplace(const fs::path& output, const fs::path& input) {
  std::error_code error;
  if (EntryOf(output) == EntryOf(input)) return true;
  if (fs::is_symlink(fs::symlink_status(output, error))) return false;
  return fs::equivalent(output, input, error);
}

// The first project, source or music file the output would overwrite; empty when none.
std::string OverwrittenInput(const TBuildRequest& request, const std::string& output) {
  if (!request.ProjectFile.empty() && WouldReplace(output, request.ProjectFile))
    return request.ProjectFile.string();
  for (const auto* list : {&request.Sources, &request.Music})
    for (const std::string& input : *list)
      if (WouldReplace(output, input)) return input;
  return {};
}

// The mask, read once for all pictures and only when the first picture needs it, so that an
// unsupported first picture is reported before a missing mask, as without the sharing.
// A reason that does not name its file gets the file put in front.
std::string NamingTheFile(const std::string& file, const std::string& reason) {
  if (reason.find(file) != std::string::npos) return reason;
  return file + ": " + reason;
}

class TSharedMask {
 public:
  explicit TSharedMask(std::optional<fs::path> file) : file_(std::move(file)) {}
  const TPictureMask* Get() {
    if (!file_) return nullptr;
    std::lock_guard lock(mutex_);
    try {
      if (!mask_) mask_ = TPictureMask::Load(*file_);
    } catch (const std::exception& e) {
      throw std::runtime_error(NamingTheFile(file_->string(), e.what()));
    }
    return &*mask_;
  }

 private:
  std::optional<fs::path> file_;
  std::mutex mutex_;
  std::optional<TPictureMask> mask_;
};

// Hands the writer its pictures and tells the feedback of each.
class TReportedPictures : public IPreparedPictures {
 public:
  TReportedPictures(IPreparedPictures& pictures, const TBuildRequest& request,
                    IBuildFeedback& feedback)
      : pictures_(pictures), request_(request), feedback_(feedback) {}
  std::vector<uint8_t> Prepared(size_t index) override {
    std::vector<uint8_t> bytes = pictures_.Prepared(index);
    feedback_.PictureWritten(index, request_.Sources.size(), request_.Sources[index]);
    return bytes;
  }

 private:
  IPreparedPictures& pictures_;
  const TBuildRequest& request_;
  IBuildFeedback& feedback_;
};

// The Flash kind stores its movies as they are and asks for no picture.
class TNoPictures : public IPreparedPictures {
 public:
  std::vector<uint8_t> Prepared(size_t) override {
    throw std::logic_error("a Flash saver has no pictures to prepare");
  }
};

TPayloadPlan PlanOf(const TBuildRequest& request) {
  TPayloadPlan plan;
  plan.Kind = request.Kind;
  plan.QuitMode = request.QuitMode;
  plan.IntervalSeconds = request.IntervalSeconds;
  plan.Sources.assign(request.Sources.begin(), request.Sources.end());
  plan.Music.assign(request.Music.begin(), request.Music.end());
  plan.EffectFlags = EffectFlags(request.TickedStyles);
  return plan;
}

TPayloadResult WriteThePayload(const TBuildRequest& request, const std::string& path,
                               IBuildFeedback& feedback) {
  const TPayloadPlan plan = PlanOf(request);
  if (request.Kind == TSaverKind::Flash) {
    TNoPictures none;
    return WritePayload(plan, path, none);
  }
  std::optional<fs::path> maskFile;
  if (request.UseMask && !request.MaskFileName.empty())
    maskFile = request.ProgramDir / request.MaskFileName;
  TSharedMask mask(maskFile);
  TParallelPictures pictures(
      request.Sources.size(),
      [&](size_t i) {
        const std::string& source = request.Sources[i];
        if (!IsSupportedPictureName(source)) throw EUnsupportedSource(source);
        const auto* maskPicture = mask.Get();
        try {
          // A Windows saver's pictures keep their colour in full: WIC and libjpeg fill in halved
          // colour differently.
          return PreparePicture(
              source, request.Screen, maskPicture,
              request.Target == TSaverTarget::Windows ? TJpegChroma::Full : TJpegChroma::Halved,
              request.Fit);
        } catch (const std::exception& e) {
          throw std::runtime_error(NamingTheFile(source, e.what()));
        }
      },
      request.Threads);
  TReportedPictures reported(pictures, request, feedback);
  return WritePayload(plan, path, reported);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
}

// "Process failed!" and, on a line of its own, what failed and why.
void ReportFailure(IBuildFeedback& feedback, const std::string& reason) {
  std::string text(kFailedMessage);
  if (!reason.empty()) text += "\n" + reason;
  feedback.ShowMessage(text, TMessageKind::Error);
}

}  // namespace

std::string_view RuntimeNameFor(TSaverTarget target) {
  return target == TSaverTarget::Windows ? kWindowsRuntimeName : kLinuxRuntimeName;
}

std::string TargetRefusal(TSaverKind kind, TSaverTarget target,
                          std::span<const TResource> resources) {
  if (target != TSaverTarget::Windows) return {};
  // The movie renderer has no Windows backend yet.
  if (kind == TSaverKind::Flash) return std::string(kFlashLinuxOnlyMessage);
  if (!FindResource(resources, kRuntimeType, kWindowsRuntimeName))
    return std::string(kNoWindowsRuntimeMessage);
  return {};
}

std::string LimitsMessage(TSaverKind kind, size_t sourceCount, size_t musicCount) {
  if (TrailerFits(kind, sourceCount, musicCount)) return {};
  if (kind == TSaverKind::Flash)
    return "A Flash saver can hold at most " + std::to_string(kSizeTableEntries) +
           " movies; this one has " + std::to_string(sourceCount) + ".";
  return "A picture saver can hold at most " + std::to_string(kSizeTableEntries) +
         " files, pictures and music together, and at most " + std::to_string(kMaxMusicFiles) +
         " music files; this one has " + std::to_string(sourceCount) + " pictures and " +
         std::to_string(musicCount) + " music files.";
}

TBuildResult RunBuild(const TBuildRequest& request, IBuildFeedback& feedback) {
  const TBusyCursor busy(feedback);
  feedback.ShowBuildPage();
  feedback.StopMusicPreview();
  TBuildResult result;
  // A saver the chosen system cannot run is refused first: no other setting would help it.
  if (std::string refusal = TargetRefusal(request.Kind, request.Target, request.Resources);
      !refusal.empty()) {
    feedback.ShowMessage(refusal, TMessageKind::Plain);
    result.FailureReason = std::move(refusal);
    return result;
  }
  if (request.Sources.empty()) {
    feedback.ShowMessage(kNoSourcesMessage, TMessageKind::Plain);
    return result;
  }
  if (request.Kind == TSaverKind::Pictures && request.TickedStyles.empty()) {
    feedback.ShowMessage(kNoEffectsMessage, TMessageKind::Plain);
    return result;
  }
  // What the saver file cannot hold is refused before anything is written.
  const size_t musicCount = request.Kind == TSaverKind::Pictures ? request.Music.size() : 0;
  if (const std::string limits = LimitsMessage(request.Kind, request.Sources.size(), musicCount);
      !limits.empty()) {
    feedback.ShowMessage(limits, TMessageKind::Plain);
    result.FailureReason = limits;
    return result;
  }
  const std::string path = ComposeOutputPath(request.OutputDir, request.OutputName,
                                             request.Sources.front(), request.OutputType);
  if (const std::string input = OverwrittenInput(request, path); !input.empty()) {
    result.FailureReason = "The saver file " + path + " would replace " + input +
                           ", one of its own files. Choose another name or folder.";
    feedback.ShowMessage(result.FailureReason, TMessageKind::Plain);
    return result;
  }
  result.BuiltSaverPath = path;
  // Everything goes to a new file that replaces the saver only when complete: a failure leaves
  // the saver that was there byte for byte.
  std::optional<TStagedSaverFile> staged;
  TPayloadResult payload;
  try {
    staged.emplace(path);
    if (std::string why; !ExtractRuntime(request.Resources, kRuntimeType,
                                         RuntimeNameFor(request.Target), staged->Path(), &why))
      throw ESaverFileError("Cannot write the saver program " + path + ": " + why);
    payload = WriteThePayload(request, staged->Path(), feedback);
    // The user knows the file by the saver's name, not by the one it is built under.
    ReplaceAll(payload.Reason, staged->Path().string(), path);
    if (payload.Status == TPayloadStatus::Written) staged->Commit();
  } catch (const ESaverFileError& e) {
    payload = {TPayloadStatus::Failed, e.what()};
  }
  staged.reset();
  if (payload.Status != TPayloadStatus::Written) {
    if (payload.Status == TPayloadStatus::UnsupportedPicture) {
      // The reason is the file itself: name it under the message, and why it is refused.
      feedback.ShowMessage(std::string(kUnsupportedMessage) + "\n" + payload.Reason,
                           TMessageKind::Plain);
      payload.Reason += ": not a picture kind a saver can show (JPEG, PNG, WebP, HEIC, BMP or GIF)";
    }
    result.FailureReason = payload.Reason;
    ReportFailure(feedback, result.FailureReason);
    return result;
  }
  result.Built = true;
  feedback.ShowMessage(kSucceededMessage, TMessageKind::Information);
  return result;
}

}  // namespace kestrava
