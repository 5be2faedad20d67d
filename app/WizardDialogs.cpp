#include "app/WizardDialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>

#include "app/PicturePreviewPane.h"
#include "app/WizardTexts.h"

namespace kestrava {

QString TQtWizardDialogs::NameFilters(const QList<TFileFilter>& filters) {
  QStringList entries;
  for (const TFileFilter& filter : filters) {
    const QString patterns = filter.Patterns.join(' ');
    entries.append(filter.Name == patterns ? patterns
                                           : QStringLiteral("%1 (%2)").arg(filter.Name, patterns));
  }
  return entries.join(";;");
}

QStringList TQtWizardDialogs::OpenFiles(QWidget* owner, const TOpenFilesRequest& request) {
  QFileDialog dialog(owner);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilter(NameFilters(request.Filters));
  const QString dir = request.InitialDir.isEmpty() ? lastOpenDir_ : request.InitialDir;
  if (!dir.isEmpty()) dialog.setDirectory(dir);
  if (request.PicturePreview) {
    // Qt's own dialog, since a native one takes no extra pane.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      auto* pane = new TPicturePreviewPane(&dialog);
      pane->setObjectName("dlgOpenPicPreview");
      grid->addWidget(pane, 1, grid->columnCount(), Qt::AlignTop);
      QObject::connect(&dialog, &QFileDialog::currentChanged, pane, &TPicturePreviewPane::ShowFile);
    }
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  lastOpenDir_ = dialog.directory().absolutePath();
  return dialog.selectedFiles();
}

std::optional<QString> TQtWizardDialogs::SaveFile(QWidget* owner, const TSaveFileRequest& request) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilter(NameFilters(request.Filters));
  dialog.setDefaultSuffix(request.DefaultSuffix);
  if (!request.InitialDir.isEmpty()) dialog.setDirectory(request.InitialDir);
  const QString name = request.SuggestedName.value_or(lastSaveName_);
  if (!name.isEmpty()) dialog.selectFile(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  lastSaveName_ = dialog.selectedFiles().front();
  return lastSaveName_;
}

std::optional<QString> TQtWizardDialogs::ChooseFolder(QWidget* owner, const QString& title) {
  const QString folder =
      QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  return folder.endsWith('/') ? folder : folder + '/';
}

void TQtWizardDialogs::ShowMessage(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, texts::kTitle, text, QMessageBox::Ok, owner);
  box.exec();
}

void TQtWizardDialogs::ShowInformation(QWidget* owner, const QString& text,
                                       const QString& caption) {
  QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, owner);
  box.exec();
}

TCloseAnswer TQtWizardDialogs::AskToSave(QWidget* owner, const QString& text,
                                         const QString& caption) {
  QMessageBox box(QMessageBox::Question, caption, text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return TCloseAnswer::Yes;
    case QMessageBox::No:
      return TCloseAnswer::No;
    default:
      return TCloseAnswer::Cancel;
  }
}

void TQtWizardDialogs::ReportError(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Critical, texts::kTitle, text, QMessageBox::Ok, owner);
  box.exec();
}

void TQtWizardDialogs::RunModal(QDialog& dialog) {
  dialog.exec();
}

}  // namespace kestrava
