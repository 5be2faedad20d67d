#include "project/ProjectSession.h"

#include <filesystem>
#include <system_error>

#include "project/ProjectFile.h"

namespace kestrava::project {

namespace {

void WriteProject(std::string_view fileName, const TProjectSettings& settings) {
  if (IsBareProjectName(fileName)) {
    // The folder of bare names is ours to make; a missing folder elsewhere is the user's error.
    std::error_code ignored;
    std::filesystem::create_directories(ProjectConfigFolder(), ignored);
  }
  SaveProjectFile(ResolveProjectFile(fileName), settings);
}

}  // namespace

void TProjectSession::Start(const TProjectSettings& startup) {
  fileName_ = kStartupProjectName;
  Save(startup);
}

bool TProjectSession::SaveNeedsName() const {
  return fileName_.empty() || fileName_ == kStartupProjectName;
}

void TProjectSession::Save(const TProjectSettings& settings) {
  if (fileName_.empty()) return;
  WriteProject(fileName_, settings);
}

std::optional<std::string> TProjectSession::SaveAsSuggestion(std::string_view outName) const {
  if (fileName_.empty()) return std::nullopt;
  if (fileName_ != kStartupProjectName) return fileName_;
  return std::string(outName.empty() ? kStartupProjectName : outName);
}

void TProjectSession::SaveAs(std::string_view dialogFileName, const TProjectSettings& settings) {
  const std::string target = SaveAsTarget(dialogFileName).string();
  if (target.empty()) return;
  WriteProject(target, settings);
  fileName_ = target;
}

TProjectSettings TProjectSession::Load(std::string_view fileName, const TProjectSettings& current) {
  const std::filesystem::path path = ResolveProjectFile(fileName);
  CheckProjectReadable(path);
  TProjectSettings loaded = LoadProjectFile(path, current);
  fileName_ = fileName;
  return loaded;
}

bool TProjectSession::ShouldAskToSave(const TProjectSettings& current) {
  if (fileName_.empty()) return false;
  // Compared afresh at every close: a match remembered from an earlier close would hide the
  // changes made since, and a build keeps nothing of the settings it used.
  matchesFile_ = ProjectMatchesFile(ResolveProjectFile(fileName_), current);
  return !matchesFile_;
}

}  // namespace kestrava::project
