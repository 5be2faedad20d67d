#include "app/AboutBox.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Glyphs.h"

namespace kestrava {

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("frmAbout");
  setWindowTitle("Kestrava");
  setModal(true);

  picture_ = new QLabel(this);
  picture_->setObjectName("imgAbout");
  picture_->setFixedSize(kPictureWidth, kPictureHeight);
  picture_->setScaledContents(true);
  picture_->setPixmap(StoredPicture("about.png"));

  continue_ = new QPushButton("Continue", this);
  continue_->setObjectName("btnContinue");
  continue_->setFlat(true);
  continue_->setDefault(true);
  connect(continue_, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(picture_);
  layout->addWidget(continue_, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmAbout::CentreOn(const QWidget& window) {
  adjustSize();
  QRect frame = frameGeometry();
  frame.moveCenter(window.frameGeometry().center());
  move(frame.topLeft());
}

}  // namespace kestrava
