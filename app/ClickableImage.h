#pragma once

#include <QLabel>

namespace kestrava {

// A picture that reports a left click, stretched over its whole size.
class TClickableImage : public QLabel {
  Q_OBJECT

 public:
  explicit TClickableImage(QWidget* parent = nullptr);

 signals:
  void Clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace kestrava
