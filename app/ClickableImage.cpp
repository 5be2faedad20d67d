#include "app/ClickableImage.h"

#include <QMouseEvent>

namespace kestrava {

TClickableImage::TClickableImage(QWidget* parent) : QLabel(parent) {
  setScaledContents(true);
  setCursor(Qt::PointingHandCursor);
}

void TClickableImage::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit Clicked();
}

}  // namespace kestrava
