#pragma once

#include <QString>

#include "app/WizardServices.h"

namespace kestrava {

// The wizard's dialogs as the user meets them: Qt's file and folder dialogs and message boxes.
class TQtWizardDialogs : public IWizardDialogs {
 public:
  QStringList OpenFiles(QWidget* owner, const TOpenFilesRequest& request) override;
  std::optional<QString> SaveFile(QWidget* owner, const TSaveFileRequest& request) override;
  std::optional<QString> ChooseFolder(QWidget* owner, const QString& title) override;
  void ShowMessage(QWidget* owner, const QString& text) override;
  void ShowInformation(QWidget* owner, const QString& text, const QString& caption) override;
  TCloseAnswer AskToSave(QWidget* owner, const QString& text, const QString& caption) override;
  void ReportError(QWidget* owner, const QString& text) override;
  void RunModal(QDialog& dialog) override;

  // A dialog's type list in Qt's form: "Name (*.a *.b)" entries joined by ";;"; an entry whose
  // name is its pattern list stays bare.
  static QString NameFilters(const QList<TFileFilter>& filters);

 private:
  // The open and save dialogs remember where they were and the name last saved.
  QString lastOpenDir_;
  QString lastSaveName_;
};

}  // namespace kestrava
