#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kestrava {

// The about box: the stored picture and a flat "Continue" button that closes it.
class TfrmAbout : public QDialog {
 public:
  explicit TfrmAbout(QWidget* parent = nullptr);

  // Puts the box in the middle of the window (with its frame, as the user sees both).
  void CentreOn(const QWidget& window);

  static constexpr int kPictureWidth = 270;
  static constexpr int kPictureHeight = 220;

 private:
  QLabel* picture_;
  QPushButton* continue_;
};

}  // namespace kestrava
