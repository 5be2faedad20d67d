#include "app/ListClickRelay.h"

#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>

namespace kestrava {

TListClickRelay::TListClickRelay(QListWidget& list)
    : QObject(&list), list_(list), viewport_(list.viewport()) {
  viewport_->installEventFilter(this);
  connect(&list_, &QListWidget::currentRowChanged, this, &TListClickRelay::OnCurrentRowChanged);
}

void TListClickRelay::OnCurrentRowChanged() {
  // A mouse press moves the selection first; its click follows on release.
  if (pressed_) {
    changedWhilePressed_ = true;
    return;
  }
  // Focus coming to a list without a current entry makes the first one current without
  // selecting it: nobody chose it, so it raises nothing.
  const QListWidgetItem* current = list_.currentItem();
  if (current && current->isSelected()) emit Clicked();
}

bool TListClickRelay::eventFilter(QObject* watched, QEvent* event) {
  if (watched != viewport_) return false;
  if (event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
      pressed_ = true;
      changedWhilePressed_ = false;
    }
  } else if (event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && pressed_) {
      pressed_ = false;
      const bool onEntry = list_.itemAt(mouse->position().toPoint()) != nullptr;
      if ((changedWhilePressed_ || onEntry) && list_.currentRow() >= 0) emit Clicked();
      changedWhilePressed_ = false;
    }
  }
  return false;
}

}  // namespace kestrava
