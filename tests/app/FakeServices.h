#pragma once

// Scripted stand-ins for everything the wizard asks of the user and the desktop. Every call
// is written to one log, so that a test can compare the whole conversation.

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QList>
#include <QString>
#include <QStringList>

#include "app/WizardServices.h"
#include "platform/Desktop.h"
#include "platform/MusicPreview.h"

namespace kestrava::test {

class TFakeDialogs : public IWizardDialogs {
 public:
  // Answers, taken in order; with none left a dialog counts as cancelled.
  std::deque<QStringList> OpenAnswers;
  std::deque<std::optional<QString>> SaveAnswers;
  std::deque<std::optional<QString>> FolderAnswers;
  std::deque<TCloseAnswer> CloseAnswers;
  // What the dialogs were asked.
  QList<TOpenFilesRequest> OpenRequests;
  QList<TSaveFileRequest> SaveRequests;
  // "plain: text", "info[caption]: text", "error: text", "ask[caption]: text", "folder: title",
  // "open", "save", "modal: title".
  QStringList Log;
  // Runs inside every message box (plain, information, error), while it is shown.
  std::function<void(const QString& text)> WhileMessageShown;
  // Runs in place of a modal dialog's event loop.
  std::function<void(QDialog&)> WhileModal;

  QStringList OpenFiles(QWidget* owner, const TOpenFilesRequest& request) override;
  std::optional<QString> SaveFile(QWidget* owner, const TSaveFileRequest& request) override;
  std::optional<QString> ChooseFolder(QWidget* owner, const QString& title) override;
  void ShowMessage(QWidget* owner, const QString& text) override;
  void ShowInformation(QWidget* owner, const QString& text, const QString& caption) override;
  TCloseAnswer AskToSave(QWidget* owner, const QString& text, const QString& caption) override;
  void ReportError(QWidget* owner, const QString& text) override;
  void RunModal(QDialog& dialog) override;

  // The log since the last call, and a fresh start.
  QStringList TakeLog();
};

class TFakeMusic : public IMusicPreview {
 public:
  std::set<std::string> Unplayable;  // paths that Open refuses
  std::string OpenPath;              // empty while closed
  bool Playing = false;
  QStringList Log;  // "open: path", "play", "close"

  void Open(const std::string& path) override;
  void Play() override;
  bool IsPlaying() const override { return Playing; }
  void Close() override;
};

class TFakeDesktop : public IDesktop {
 public:
  bool FailInstall = false;
  bool NoOpener = false;
  bool NoWine = false;
  TSaverHost Host{true, true, false, "", ""};  // XScreenSaver installed and running
  // "start: path", "wine: path", "document: path", "install: path", "settings"
  QStringList Log;

  bool StartDetached(const std::string& program) override;
  bool StartWindowsSaver(const std::string& saverPath) override;
  bool OpenDocument(const std::string& path) override;
  void InstallSaver(const std::string& saverPath) override;
  bool OpenSaverSettings() override;
  TSaverHost SaverHost() override { return Host; }
};

}  // namespace kestrava::test
