#include "tests/app/FakeServices.h"

#include <utility>

#include <QDialog>

namespace kestrava::test {

namespace {

template <class T>
T Next(std::deque<T>& answers, T whenNone) {
  if (!answers.empty()) {
    std::swap(whenNone, answers.front());
    answers.pop_front();
  }
  return whenNone;
}

}  // namespace

QStringList TFakeDialogs::OpenFiles(QWidget*, const TOpenFilesRequest& request) {
  OpenRequests.append(request);
  Log.append("open");
  return Next(OpenAnswers, QStringList());
}

std::optional<QString> TFakeDialogs::SaveFile(QWidget*, const TSaveFileRequest& request) {
  SaveRequests.append(request);
  Log.append("save");
  return Next(SaveAnswers, std::optional<QString>());
}

std::optional<QString> TFakeDialogs::ChooseFolder(QWidget*, const QString& title) {
  Log.append("folder: " + title);
  return Next(FolderAnswers, std::optional<QString>());
}

void TFakeDialogs::ShowMessage(QWidget*, const QString& text) {
  Log.append("plain: " + text);
  if (WhileMessageShown) WhileMessageShown(text);
}

void TFakeDialogs::ShowInformation(QWidget*, const QString& text, const QString& caption) {
  Log.append("info[" + caption + "]: " + text);
  if (WhileMessageShown) WhileMessageShown(text);
}

TCloseAnswer TFakeDialogs::AskToSave(QWidget*, const QString& text, const QString& caption) {
  Log.append("ask[" + caption + "]: " + text);
  return Next(CloseAnswers, TCloseAnswer::Cancel);
}

void TFakeDialogs::ReportError(QWidget*, const QString& text) {
  Log.append("error: " + text);
  if (WhileMessageShown) WhileMessageShown(text);
}

void TFakeDialogs::RunModal(QDialog& dialog) {
  Log.append("modal: " + dialog.windowTitle());
  if (WhileModal) WhileModal(dialog);
}

QStringList TFakeDialogs::TakeLog() {
  QStringList log;
  log.swap(Log);
  return log;
}

void TFakeMusic::Open(const std::string& path) {
  Close();
  Log.append("open: " + QString::fromStdString(path));
  if (Unplayable.count(path)) throw EMusicPreviewError("cannot open " + path);
  OpenPath = path;
}

void TFakeMusic::Play() {
  Log.append("play");
  if (!OpenPath.empty()) Playing = true;
}

void TFakeMusic::Close() {
  if (OpenPath.empty()) return;
  Log.append("close");
  OpenPath.clear();
  Playing = false;
}

bool TFakeDesktop::StartDetached(const std::string& program) {
  Log.append("start: " + QString::fromStdString(program));
  return true;
}

bool TFakeDesktop::StartWindowsSaver(const std::string& saverPath) {
  if (NoWine) return false;
  Log.append("wine: " + QString::fromStdString(saverPath));
  return true;
}

bool TFakeDesktop::OpenDocument(const std::string& path) {
  if (NoOpener) return false;
  Log.append("document: " + QString::fromStdString(path));
  return true;
}

void TFakeDesktop::InstallSaver(const std::string& saverPath) {
  Log.append("install: " + QString::fromStdString(saverPath));
  if (FailInstall) throw EInstallError(std::string(kInstallFailedMessage));
}

bool TFakeDesktop::OpenSaverSettings() {
  Log.append("settings");
  return true;
}

}  // namespace kestrava::test
