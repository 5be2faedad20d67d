#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "project/ProjectLocation.h"
#include "project/ProjectSettings.h"

namespace kestrava::project {

// The close question and its caption.
inline constexpr std::string_view kSaveQuestion = "You haven't save this project,save it now?";
inline constexpr std::string_view kSaveQuestionCaption = "Save?";

// The wizard's binding to a project file (ProjectFileName, ProjectMatchesFile) and the Project
// commands over it, without any toolkit: the wizard runs the dialogs and the message box, and
// binds the settings to its controls. Writes throw EProjectWriteError, leaving the binding as it
// was.
class TProjectSession {
 public:
  // ProjectFileName: "temp.kvp" at start-up, the loaded or written name afterwards; empty binds
  // to nothing.
  const std::string& FileName() const { return fileName_; }
  bool MatchesFile() const { return matchesFile_; }

  // Start-up: binds to "temp.kvp" and writes the start-up settings there, the baseline of the
  // close check.
  void Start(const TProjectSettings& startup);

  // Save Project goes through Save As when unbound or still bound to "temp.kvp" (exact case).
  bool SaveNeedsName() const;
  // Save without a dialog, to the bound file; nothing when unbound.
  void Save(const TProjectSettings& settings);
  // The name the Save As dialog suggests: the output name (or "temp.kvp" when that is empty)
  // while bound to "temp.kvp", else the bound name; none when unbound, the dialog then keeping
  // its last name.
  std::optional<std::string> SaveAsSuggestion(std::string_view outName) const;
  // Save As once the dialog returned a name: writes to SaveAsTarget(name) and binds to it. An
  // empty name saves nothing.
  void SaveAs(std::string_view dialogFileName, const TProjectSettings& settings);

  // Load Project: the settings to show, read over the current ones; binds to the name as given.
  TProjectSettings Load(std::string_view fileName, const TProjectSettings& current);

  // The close check: compares the bound file with the current settings and tells whether to ask
  // kSaveQuestion. Never asks when unbound; a build does not count as a save.
  bool ShouldAskToSave(const TProjectSettings& current);

 private:
  std::string fileName_{kStartupProjectName};
  bool matchesFile_ = false;
};

}  // namespace kestrava::project
