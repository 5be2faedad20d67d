#include "app/BuildProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "app/WizardTexts.h"

namespace kestrava {

TBuildProgress::TBuildProgress(QWidget& owner) : owner_(owner) {}

TBuildProgress::~TBuildProgress() = default;

void TBuildProgress::PictureWritten(size_t index, size_t count) {
  if (!dialog_) {
    dialog_ = std::make_unique<QProgressDialog>(&owner_);
    dialog_->setObjectName("dlgBuildProgress");
    dialog_->setWindowTitle(texts::kTitle);
    dialog_->setWindowModality(Qt::WindowModal);
    // A build cannot be stopped half-way: no Cancel button.
    dialog_->setCancelButton(nullptr);
    dialog_->setMinimumDuration(kShowAfterMs);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setRange(0, int(count));
    dialog_->setValue(0);  // starts the clock of the minimum duration
  }
  dialog_->setLabelText(QStringLiteral("Picture %1 of %2").arg(index + 1).arg(count));
  dialog_->setValue(int(index + 1));
  // Repaint and serve the other windows; the wizard itself takes no input while it builds.
  QCoreApplication::processEvents();
}

void TBuildProgress::Close() {
  dialog_.reset();
}

}  // namespace kestrava
