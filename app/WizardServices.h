#pragma once

// Everything the wizard needs from outside itself, handed in when it is made: the real program
// fills it with Qt's dialogs and the platform layer, the tests with scripted fakes.

#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include <QList>
#include <QString>
#include <QStringList>

#include "saver/FitToScreen.h"
#include "saver/Resources.h"

class QDialog;
class QWidget;

namespace kestrava {

class IMusicPreview;
class IDesktop;

// One entry of a file dialog's type list: its description and the name patterns it shows.
struct TFileFilter {
  QString Name;
  QStringList Patterns;
  friend bool operator==(const TFileFilter&, const TFileFilter&) = default;
};

struct TOpenFilesRequest {
  QList<TFileFilter> Filters;
  QString InitialDir;  // empty: wherever the dialog was last
  bool PicturePreview = false;
};

struct TSaveFileRequest {
  QList<TFileFilter> Filters;
  QString InitialDir;
  std::optional<QString> SuggestedName;  // none: the name the dialog had last
  QString DefaultSuffix;                 // added to a name typed without one
};

enum class TCloseAnswer { Yes, No, Cancel };

class IWizardDialogs {
 public:
  virtual ~IWizardDialogs() = default;

  // Several files may be chosen; an empty list means the dialog was cancelled.
  virtual QStringList OpenFiles(QWidget* owner, const TOpenFilesRequest& request) = 0;
  // Never asks before replacing a file. Nothing when cancelled.
  virtual std::optional<QString> SaveFile(QWidget* owner, const TSaveFileRequest& request) = 0;
  // A folder of the file system, its path ending in "/"; nothing when cancelled.
  virtual std::optional<QString> ChooseFolder(QWidget* owner, const QString& title) = 0;

  // A plain message captioned with the application's title, one OK button.
  virtual void ShowMessage(QWidget* owner, const QString& text) = 0;
  // A message with the information icon.
  virtual void ShowInformation(QWidget* owner, const QString& text, const QString& caption) = 0;
  // The question asked before the wizard closes with unsaved settings.
  virtual TCloseAnswer AskToSave(QWidget* owner, const QString& text, const QString& caption) = 0;
  // The application's standard error report: the error's text captioned with the title.
  virtual void ReportError(QWidget* owner, const QString& text) = 0;

  // Shows a dialog the wizard made and returns when it is closed.
  virtual void RunModal(QDialog& dialog) = 0;
};

struct TWizardServices {
  IWizardDialogs* Dialogs = nullptr;
  IMusicPreview* Music = nullptr;
  IDesktop* Desktop = nullptr;
  // The primary screen, the size every picture is prepared for.
  std::function<TScreenSize()> ScreenSize;
  // The program's own folder: the default output folder when writable, "mask1.jpg", the manual.
  std::filesystem::path ProgramDir;
  // The builder's own resources, the saver runtime among them.
  std::span<const TResource> Resources;
};

}  // namespace kestrava
